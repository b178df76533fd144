#include "users/UserRules.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace trelgate {
namespace {

using UpperTable = std::vector<wchar_t>;

void MapRange(UpperTable& table, unsigned first, unsigned last, int delta)
{
    for (unsigned c = first; c <= last; ++c)
        table[c] = static_cast<wchar_t>(static_cast<int>(c) + delta);
}

// Blocks whose upper case comes first and lower case second, pair by pair.
void MapPairs(UpperTable& table, unsigned firstUpper, unsigned lastLower)
{
    for (unsigned c = firstUpper; c < lastLower; c += 2)
        table[c + 1] = static_cast<wchar_t>(c);
}

// The simple upper case of the scripts players write their names in: Latin
// (Basic, Latin-1, Extended-A, the letter pairs of Extended-B, Additional),
// Greek, Cyrillic, Armenian and full-width Latin. Letters whose upper case
// belongs to another letter's block (dotless i, long s, micro sign) stay as
// written. Our own table, because the C runtime's towupper maps only ASCII in
// the "C" locale on Windows and follows the locale elsewhere.
UpperTable BuildUpperTable()
{
    UpperTable table(0x10000);
    for (unsigned c = 0; c < table.size(); ++c)
        table[c] = static_cast<wchar_t>(c);
    MapRange(table, 0x61, 0x7A, -0x20);
    MapRange(table, 0xE0, 0xF6, -0x20);
    MapRange(table, 0xF8, 0xFE, -0x20);
    table[0xFF] = 0x178;
    MapPairs(table, 0x100, 0x12F);
    MapPairs(table, 0x132, 0x137);
    MapPairs(table, 0x139, 0x148);
    MapPairs(table, 0x14A, 0x177);
    MapPairs(table, 0x179, 0x17E);
    MapPairs(table, 0x1A0, 0x1A5);
    MapPairs(table, 0x1AF, 0x1B0);
    MapPairs(table, 0x1CD, 0x1DC);
    MapPairs(table, 0x1DE, 0x1EF);
    MapPairs(table, 0x1F8, 0x21F);
    MapPairs(table, 0x222, 0x233);
    table[0x3AC] = 0x386;
    MapRange(table, 0x3AD, 0x3AF, -0x25);
    MapRange(table, 0x3B1, 0x3C1, -0x20);
    table[0x3C2] = 0x3A3; // final sigma
    MapRange(table, 0x3C3, 0x3CB, -0x20);
    table[0x3CC] = 0x38C;
    MapRange(table, 0x3CD, 0x3CE, -0x3F);
    MapPairs(table, 0x3D8, 0x3EF);
    MapRange(table, 0x430, 0x44F, -0x20);
    MapRange(table, 0x450, 0x45F, -0x50);
    MapPairs(table, 0x460, 0x481);
    MapPairs(table, 0x48A, 0x4BF);
    MapPairs(table, 0x4C1, 0x4CE);
    table[0x4CF] = 0x4C0;
    MapPairs(table, 0x4D0, 0x52F);
    MapRange(table, 0x561, 0x586, -0x30);
    MapPairs(table, 0x1E00, 0x1E95);
    MapPairs(table, 0x1EA0, 0x1EFF);
    MapRange(table, 0xFF41, 0xFF5A, -0x20);
    return table;
}

int CompareUpperCased(std::wstring_view a, std::wstring_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t ua = UpperCaseOf(a[i]), ub = UpperCaseOf(b[i]);
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Names already listed, upper-cased, so each folder costs one look-up.
class NameSet {
public:
    explicit NameSet(const std::vector<std::wstring>& names)
    {
        keys_.reserve(names.size() * 2);
        for (const std::wstring& name : names)
            keys_.insert(UpperCased(name));
    }
    bool Insert(std::wstring_view name) { return keys_.insert(UpperCased(name)).second; }

private:
    std::unordered_set<std::wstring> keys_;
};

} // namespace

std::wstring RemoveFileExt(std::wstring_view fileName)
{
    const std::size_t dot = fileName.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring() : std::wstring(fileName.substr(0, dot));
}

bool HasFileExt(std::wstring_view fileName, std::wstring_view ext)
{
    return fileName.size() >= ext.size() && SameName(fileName.substr(fileName.size() - ext.size()), ext);
}

wchar_t UpperCaseOf(wchar_t c)
{
    static const UpperTable table = BuildUpperTable();
    const auto unit = static_cast<std::uint32_t>(c);
    return unit < table.size() ? table[unit] : c; // wider than UTF-16 on some hosts
}

std::wstring UpperCased(std::wstring_view text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = UpperCaseOf(c);
    return upper;
}

bool SameName(std::wstring_view a, std::wstring_view b) { return CompareUpperCased(a, b) == 0; }

bool NameBefore(std::wstring_view a, std::wstring_view b)
{
    const int order = CompareUpperCased(a, b);
    return order != 0 ? order < 0 : a < b;
}

void SortNames(std::vector<std::wstring>& names)
{
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return NameBefore(a, b); });
}

void SortBackups(std::vector<TBackup>& backups)
{
    std::sort(backups.begin(), backups.end(),
              [](const TBackup& a, const TBackup& b) { return NameBefore(a.Name, b.Name); });
}

std::vector<std::wstring> MergeUserNames(std::vector<std::wstring> fileUsers, std::vector<std::wstring> folderUsers)
{
    SortNames(fileUsers);
    SortNames(folderUsers);
    NameSet listed(fileUsers);
    for (std::wstring& folder : folderUsers) {
        if (listed.Insert(folder))
            fileUsers.push_back(std::move(folder));
    }
    return fileUsers;
}

} // namespace trelgate
