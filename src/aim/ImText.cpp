#include "aim/ImText.h"

namespace velmora {

namespace {

constexpr std::wstring_view kLineBreakTag = L"<BR>";
constexpr wchar_t kCr = L'\r';
constexpr wchar_t kLf = L'\n';
constexpr wchar_t kNameEnd = L':';

bool LineBreakTagAt(std::wstring_view markup, std::size_t at) {
    return markup[at] == L'<' && markup.substr(at, kLineBreakTag.size()) == kLineBreakTag;
}

// Reads markup the way HtmlToPlainText does and calls keep(c, next) for every
// character of the plain text, in order. next is the markup position just past
// the piece that produced c; the walk may be restarted there, outside any tag.
// keep returns false to end the walk early.
// A walk may also start at any position outside a "<BR>", given the tag state there.
template <typename Keep>
void WalkPlainText(std::wstring_view markup, Keep&& keep, std::size_t at = 0, bool inTag = false) {
    while (at < markup.size()) {
        // "<BR>" is a line break before it is a tag, even inside another tag,
        // where its CR LF is then dropped like the rest of that tag.
        if (LineBreakTagAt(markup, at)) {
            at += kLineBreakTag.size();
            if (!inTag && (!keep(kCr, at) || !keep(kLf, at))) {
                return;
            }
            continue;
        }
        const wchar_t c = markup[at++];
        if (c == L'<') {
            inTag = true;
        } else if (c == L'>') {
            // Ends a tag. A ">" is never kept, not even one typed in a message:
            // the markup cannot tell the two apart.
            inTag = false;
        } else if (!inTag && !keep(c, at)) {
            return;
        }
    }
}

}  // namespace

std::wstring HtmlToPlainText(std::wstring_view markup) {
    std::wstring plain;
    // "<BR>" shrinks to two characters and every other piece stays or vanishes,
    // so the markup's length is enough room.
    plain.reserve(markup.size());
    WalkPlainText(markup, [&plain](wchar_t c, std::size_t) {
        plain.push_back(c);
        return true;
    });
    return plain;
}

std::wstring LastImLineOf(std::wstring_view plain) {
    const std::size_t lastBreak = plain.rfind(L"\r\n");
    if (lastBreak == std::wstring_view::npos) {
        return std::wstring(plain);
    }
    return std::wstring(plain.substr(lastBreak + 1));
}

std::wstring SenderOfLine(std::wstring_view lastLine) {
    if (!lastLine.empty() && lastLine.front() == kLf) {
        lastLine.remove_prefix(1);
    }
    const std::size_t colon = lastLine.find(kNameEnd);
    if (colon == std::wstring_view::npos || colon == 0) {
        return {};
    }
    return std::wstring(lastLine.substr(0, colon));
}

namespace {

// Moves a position that falls inside a "<BR>" back to that tag's start.
std::size_t OutsideLineBreakTag(std::wstring_view markup, std::size_t at) {
    for (std::size_t back = 1; back < kLineBreakTag.size() && back <= at; ++back) {
        if (LineBreakTagAt(markup, at - back)) {
            return at - back;
        }
    }
    return at;
}

// Whether the plain-text walk is inside a tag at a position outside any "<BR>": decided by the
// nearest "<" or ">" before it that is not part of a "<BR>" (those become CR LF before tags count).
bool InTagAt(std::wstring_view markup, std::size_t at) {
    while (at > 0) {
        const std::size_t mark = markup.find_last_of(L"<>", at - 1);
        if (mark == std::wstring_view::npos) {
            return false;
        }
        if (markup[mark] == L'<' && !LineBreakTagAt(markup, mark)) {
            return true;
        }
        if (markup[mark] == L'>' && !(mark >= 3 && LineBreakTagAt(markup, mark - 3))) {
            return false;
        }
        at = mark;  // a "<BR>"'s own bracket: look further back
    }
    return false;
}

}  // namespace

std::wstring SenderOfConversation(std::wstring_view markup) { return SenderOfConversation(markup, 256); }

std::wstring SenderOfConversation(std::wstring_view markup, std::size_t firstWindow) {
    // Only the last line matters, so the walk starts near the end and reaches further back
    // only when that part holds no CR LF: a tick costs the length of the last lines, not of
    // the whole conversation.
    bool foundBreak = false;
    std::size_t lastLineStart = 0;
    for (std::size_t window = firstWindow > 0 ? firstWindow : 1;; window *= 4) {
        const std::size_t start = window >= markup.size() ? 0 : OutsideLineBreakTag(markup, markup.size() - window);
        wchar_t previous = L'\0';
        WalkPlainText(
            markup,
            [&](wchar_t c, std::size_t next) {
                if (previous == kCr && c == kLf) {
                    foundBreak = true;
                    lastLineStart = next;
                }
                previous = c;
                return true;
            },
            start, InTagAt(markup, start));
        // A pair whose CR lies before the start is found by the next, wider walk.
        if (foundBreak || start == 0) {
            break;
        }
    }

    // After a CR LF the line's own LF is already behind lastLineStart; without
    // one the line is the whole text, whose leading LF (if any) is not part of a name.
    const std::wstring_view lastLine = markup.substr(lastLineStart);
    const auto walkName = [&](auto&& takeNameChar) {
        bool atLineStart = true;
        bool colonFound = false;
        WalkPlainText(lastLine, [&](wchar_t c, std::size_t) {
            const bool skip = atLineStart && !foundBreak && c == kLf;
            atLineStart = false;
            if (skip) {
                return true;
            }
            if (c == kNameEnd) {
                colonFound = true;
                return false;
            }
            takeNameChar(c);
            return true;
        });
        return colonFound;
    };

    // Measure first so that the only allocation is the name itself.
    std::size_t nameLength = 0;
    if (!walkName([&nameLength](wchar_t) { ++nameLength; }) || nameLength == 0) {
        return {};
    }
    std::wstring name;
    name.reserve(nameLength);
    walkName([&name](wchar_t c) { name.push_back(c); });
    return name;
}

}  // namespace velmora
