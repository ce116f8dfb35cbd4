#include "menu/Search.h"

#include <algorithm>
#include <cwctype>

#include "menu/FolderMenu.h"
#include "menu/FolderReader.h"
#include "menu/Item.h"
#include "menu/LiveFolders.h"
#include "platform/Shell.h"

namespace {

// Marks that only add an accent to the letter before them, as a compatibility decomposition leaves them.
bool IsCombiningMark(wchar_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

bool IsWordCharacter(wchar_t c) { return std::iswalnum(c) || c > 0x7F; }

std::wstring Initials(std::wstring_view folded)
{
    std::wstring initials;
    for (size_t i = 0; i < folded.size(); ++i)
        if (IsWordCharacter(folded[i]) && (i == 0 || !IsWordCharacter(folded[i - 1])))
            initials += folded[i];
    return initials;
}

bool StartsWith(std::wstring_view text, const std::wstring& part) { return text.substr(0, part.size()) == part; }

// Whether a word of text other than its first starts with part.
bool AWordStartsWith(std::wstring_view text, const std::wstring& part)
{
    for (size_t at = text.find(part, 1); at != std::wstring_view::npos; at = text.find(part, at + 1))
        if (!IsWordCharacter(text[at - 1]))
            return true;
    return false;
}

// An item's texts as matching sees them.
struct Folded {
    std::wstring_view caption, initials, place, path;
};

SearchRank RankOfText(const Folded& item, const std::wstring& text)
{
    if (StartsWith(item.caption, text))
        return kRankCaptionStart;
    if (AWordStartsWith(item.caption, text))
        return kRankWordStart;
    if (StartsWith(item.initials, text))
        return kRankInitials;
    if (item.caption.find(text) != std::wstring_view::npos)
        return kRankCaptionHolds;
    if (item.place.find(text) != std::wstring_view::npos || item.path.find(text) != std::wstring_view::npos)
        return kRankPathHolds;
    return kNoMatch;
}

// The rank of an item for a text folded and split into words (whole: the text as typed, folded). Each word at its
// best; the item at its worst word, unless the text as typed does better.
SearchRank RankOf(const Folded& item, const std::wstring& whole, const std::vector<std::wstring>& words)
{
    int worst = 0;
    for (const std::wstring& word : words) {
        worst = std::max<int>(worst, RankOfText(item, word));
        if (worst == kNoMatch)
            return kNoMatch;
    }
    if (words.size() > 1)
        worst = std::min<int>(worst, RankOfText(item, whole));
    return static_cast<SearchRank>(worst);
}

std::vector<std::wstring> Words(const std::wstring& folded)
{
    std::vector<std::wstring> words;
    for (size_t at = 0; at < folded.size();) {
        const size_t start = folded.find_first_not_of(L" \t", at);
        if (start == std::wstring::npos)
            break;
        const size_t end = std::min(folded.find_first_of(L" \t", start), folded.size());
        words.push_back(folded.substr(start, end - start));
        at = end;
    }
    return words;
}

}  // namespace

std::wstring FoldForSearch(const std::wstring& text)
{
    // Most captions and paths are plain ASCII: folded without a call of the system.
    if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) {
        std::wstring folded = text;
        for (wchar_t& c : folded)
            c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        return folded;
    }
    // The compatibility decomposition splits an accented letter into the letter and its accent, and gives a wide or
    // narrow form its plain letter; the accents are then dropped and the rest made lower case.
    const int length = static_cast<int>(text.size());
    int size = NormalizeString(NormalizationKD, text.c_str(), length, nullptr, 0);
    std::wstring decomposed(size > 0 ? static_cast<size_t>(size) : 0, L'\0');
    size = size > 0 ? NormalizeString(NormalizationKD, text.c_str(), length, decomposed.data(), size) : 0;
    if (size <= 0)
        decomposed = text;
    else
        decomposed.resize(static_cast<size_t>(size));
    decomposed.erase(std::remove_if(decomposed.begin(), decomposed.end(), IsCombiningMark), decomposed.end());
    if (!decomposed.empty())
        CharLowerBuffW(decomposed.data(), static_cast<DWORD>(decomposed.size()));
    return decomposed;
}

std::wstring HoldingFolder(const std::wstring& path)
{
    std::wstring resolved = platform::ResolveDevicePath(path);
    // A folder's own path may end in "\": its name is what comes before.
    const size_t end = resolved.find_last_not_of(L'\\');
    if (end == std::wstring::npos)
        return L"";
    resolved.resize(end + 1);
    const size_t slash = resolved.rfind(L'\\');
    if (slash == std::wstring::npos)
        return L"";
    // A drive's root keeps its "\": "C:" alone is the drive's current folder.
    return resolved.substr(0, slash == 2 && resolved[1] == L':' ? slash + 1 : slash);
}

CSearchIndex::Span CSearchIndex::Keep(std::wstring_view text)
{
    const Span span{static_cast<UINT32>(text_.size()), static_cast<UINT32>(text.size())};
    text_.append(text);
    return span;
}

UINT32 CSearchIndex::AddPlace(const std::wstring& place)
{
    const Span shown = Keep(place);
    places_.push_back({shown, Keep(FoldForSearch(place))});
    return static_cast<UINT32>(places_.size() - 1);
}

void CSearchIndex::Add(const std::wstring& caption, UINT32 place, const CItem* document)
{
    Indexed item;
    item.caption = Keep(caption);
    item.folded = Keep(FoldForSearch(caption));
    item.initials = Keep(Initials(Text(item.folded)));
    item.place = place;
    if (document) {
        item.path = Keep(document->Path);
        item.foldedPath = Keep(FoldForSearch(document->Path));
        item.id = document->ID;
        item.icon = document->Properties.Icon;
        item.folder = document->ShowContents;
        item.launches = document->Launches.value_or(0);
    }
    items_.push_back(std::move(item));
}

SearchItem CSearchIndex::operator[](size_t index) const
{
    const Indexed& item = items_[index];
    const std::wstring_view place = Text(places_[item.place].shown);
    // A live folder's file: its folder and its name.
    std::wstring path = item.id ? std::wstring(Text(item.path))
                                : JoinPath(std::wstring(place), std::wstring(Text(item.caption)));
    return {Text(item.caption), place, std::move(path), item.id, &item.icon, item.folder, item.launches};
}

void CSearchIndex::AddTree(const CItemVector& root, const CLiveFolders& live)
{
    // Each level's place, the top's first: a section's entries come right after it, so the place of the level an
    // entry is at is the last one kept for that level.
    struct Place {
        std::wstring text;
        UINT32 index;
    };
    std::vector<Place> places{{kTopLevelPlace, AddPlace(kTopLevelPlace)}};
    ForEachEntry(root, [&](const CItem& item, int level) {
        places.resize(static_cast<size_t>(level) + 1, Place{});
        if (item.IsSection()) {
            std::wstring place = level == 0 ? item.Caption : places[level].text + kPlaceSeparator + item.Caption;
            const UINT32 index = AddPlace(place);
            places.push_back({std::move(place), index});
            return;
        }
        if (item.Type != ITEM_DOCUMENT)
            return;
        Add(item.Caption, places[level].index, &item);
        if (const CFolderMenu* folder = live.Of(item))
            AddFolderFiles(item, folder->LastFiles());
    });
}

size_t CSearchIndex::AddFolderFiles(const CItem& document, const std::vector<std::wstring>& files)
{
    const size_t first = items_.size();
    if (files.empty())
        return first;
    const UINT32 place = AddPlace(document.Path);
    items_.reserve(items_.size() + files.size());
    for (const std::wstring& name : files)
        Add(name, place, nullptr);
    return first;
}

std::vector<size_t> CSearchIndex::Find(const std::wstring& text, size_t first) const
{
    const std::wstring whole = FoldForSearch(text);
    const std::vector<std::wstring> words = Words(whole);
    std::vector<std::pair<int, size_t>> found;   // rank, index
    if (!words.empty())
        for (size_t i = first; i < items_.size(); ++i) {
            const Indexed& item = items_[i];
            const Folded folded{Text(item.folded), Text(item.initials), Text(places_[item.place].folded),
                                Text(item.foldedPath)};
            if (const SearchRank rank = RankOf(folded, whole, words); rank != kNoMatch)
                found.emplace_back(rank, i);
        }
    // By rank, then launches; the index's order is the tree's.
    std::sort(found.begin(), found.end(), [this](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        const DWORD x = items_[a.second].launches, y = items_[b.second].launches;
        return x != y ? x > y : a.second < b.second;
    });
    std::vector<size_t> ranked;
    ranked.reserve(found.size());
    for (const auto& [rank, index] : found)
        ranked.push_back(index);
    return ranked;
}
