#include "aim/ImText.h"

#include <array>

namespace velmora {

namespace {

constexpr std::wstring_view kLineBreakTag = L"<BR>";
constexpr wchar_t kCr = L'\r';
constexpr wchar_t kLf = L'\n';
constexpr wchar_t kNameEnd = L':';

// Compared character by character: this runs at every "<" of a conversation.
bool LineBreakTagAt(std::wstring_view markup, std::size_t at) {
    return markup.size() - at >= kLineBreakTag.size() && markup[at] == L'<' && markup[at + 1] == L'B' &&
           markup[at + 2] == L'R' && markup[at + 3] == L'>';
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

namespace {

void AppendPlainText(std::wstring& plain, std::wstring_view markup) {
    // "<BR>" shrinks to two characters and every other piece stays or vanishes,
    // so the markup's length is enough room.
    plain.reserve(plain.size() + markup.size());
    WalkPlainText(markup, [&plain](wchar_t c, std::size_t) {
        plain.push_back(c);
        return true;
    });
}

}  // namespace

std::wstring HtmlToPlainText(std::wstring_view markup) {
    std::wstring plain;
    AppendPlainText(plain, markup);
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
        std::size_t mark = at - 1;
        while (markup[mark] != L'<' && markup[mark] != L'>') {
            if (mark == 0) {
                return false;
            }
            --mark;
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

struct LastLineStart {
    bool afterBreak = false;  // false: no CR LF, the last line is the whole text
    std::size_t at = 0;       // the markup position just past the last CR LF's pieces
};

// The last "<BR>" or LF of the markup, whichever stands later: every LF of the plain text comes
// from one of the two. npos when there is neither.
std::size_t LastLineFeedSource(std::wstring_view markup) {
    for (std::size_t at = markup.size(); at-- > 0;) {
        const wchar_t c = markup[at];
        if (c == kLf || (c == L'<' && LineBreakTagAt(markup, at))) {
            return at;
        }
    }
    return std::wstring_view::npos;
}

LastLineStart FindLastLineStart(std::wstring_view markup, std::size_t firstWindow) {
    // The usual conversation ends in lines joined by "<BR>": when the last source of an LF is a
    // "<BR>" outside any tag, its CR LF is the last pair, and nothing more need be read.
    // When there is no source at all there is no pair either.
    const std::size_t lastSource = LastLineFeedSource(markup);
    if (lastSource == std::wstring_view::npos) {
        return {};
    }
    if (markup[lastSource] == L'<' && !InTagAt(markup, lastSource)) {
        return {true, lastSource + kLineBreakTag.size()};
    }

    // Otherwise (a bare LF, which pairs only with a CR before it, or a "<BR>" inside a tag) the
    // plain text is walked from near the end, reaching further back only while that part holds
    // no CR LF: the cost is that of the last lines, not of the whole conversation.
    LastLineStart found;
    for (std::size_t window = firstWindow > 0 ? firstWindow : 1;; window *= 4) {
        const std::size_t start = window >= markup.size() ? 0 : OutsideLineBreakTag(markup, markup.size() - window);
        wchar_t previous = L'\0';
        WalkPlainText(
            markup,
            [&](wchar_t c, std::size_t next) {
                if (previous == kCr && c == kLf) {
                    found = {true, next};
                }
                previous = c;
                return true;
            },
            start, InTagAt(markup, start));
        // A pair whose CR lies before the start is found by the next, wider walk.
        if (found.afterBreak || start == 0) {
            return found;
        }
    }
}

}  // namespace

std::wstring LastImLineOfConversation(std::wstring_view markup) {
    const LastLineStart start = FindLastLineStart(markup, 256);
    if (!start.afterBreak) {
        return HtmlToPlainText(markup);
    }
    // The line begins with the LF of its break; the walk after a break starts outside any tag.
    // A line is short: it is measured first, so that its string is allocated once at its size
    // (or not at all when it fits inside the string).
    const std::wstring_view lineMarkup = markup.substr(start.at);
    std::size_t length = 1;
    WalkPlainText(lineMarkup, [&length](wchar_t, std::size_t) {
        ++length;
        return true;
    });
    std::wstring line;
    line.reserve(length);
    line.push_back(kLf);
    WalkPlainText(lineMarkup, [&line](wchar_t c, std::size_t) {
        line.push_back(c);
        return true;
    });
    return line;
}

std::wstring SenderOfConversation(std::wstring_view markup) { return SenderOfConversation(markup, 256); }

std::wstring SenderOfConversation(std::wstring_view markup, std::size_t firstWindow) {
    const LastLineStart start = FindLastLineStart(markup, firstWindow);

    // After a CR LF the line's own LF is already behind start.at; without
    // one the line is the whole text, whose leading LF (if any) is not part of a name.
    // Names are short: they gather in a small buffer, so that the only allocation is the
    // name itself.
    std::array<wchar_t, 64> shortName;
    std::size_t shortLength = 0;
    std::wstring longName;
    bool atLineStart = true;
    bool colonFound = false;
    WalkPlainText(markup.substr(start.at), [&](wchar_t c, std::size_t) {
        const bool skip = atLineStart && !start.afterBreak && c == kLf;
        atLineStart = false;
        if (skip) {
            return true;
        }
        if (c == kNameEnd) {
            colonFound = true;
            return false;
        }
        if (shortLength < shortName.size()) {
            shortName[shortLength++] = c;
        } else {
            if (longName.empty()) {
                longName.assign(shortName.data(), shortLength);
            }
            longName.push_back(c);
        }
        return true;
    });
    if (!colonFound) {
        return {};
    }
    return longName.empty() ? std::wstring(shortName.data(), shortLength) : longName;
}

namespace {

bool IsNameBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == kCr || c == kLf || c == 0xA0; }

// The plain text of the markup from `from` (outside any tag) up to `to`.
std::wstring PlainTextBetween(std::wstring_view markup, std::size_t from, std::size_t to) {
    std::wstring plain;
    WalkPlainText(
        markup.substr(0, to),
        [&plain](wchar_t c, std::size_t) {
            plain.push_back(c);
            return true;
        },
        from, false);
    return plain;
}

// Whether the colon at `at` is the client's, setting a sender off: a tag ends right before it
// or starts right after it (a line break is no tag).
bool ColonSetOffByMarkup(std::wstring_view markup, std::size_t at) {
    if (at > 0 && markup[at - 1] == L'>') return true;
    return at + 1 < markup.size() && markup[at + 1] == L'<' && !LineBreakTagAt(markup, at + 1);
}

struct SenderLine {
    bool found = false;
    std::size_t lineStart = 0;  // markup positions, outside any tag
    std::size_t colon = 0;
};

// The last line naming a sender among the lines that begin at or after `start` (a position
// outside any "<BR>", with the tag state there). The line that `start` falls into counts only
// when start is 0: where else it began is not known.
SenderLine LastSenderLine(std::wstring_view markup, std::size_t start, bool inTag) {
    SenderLine last;
    bool lineKnown = start == 0;
    std::size_t lineStart = start;
    bool colonSeen = false;
    bool nameSeen = false;
    wchar_t previous = L'\0';
    WalkPlainText(
        markup,
        [&](wchar_t c, std::size_t next) {
            if (previous == kCr && c == kLf) {
                lineKnown = true;
                lineStart = next;
                colonSeen = false;
                nameSeen = false;
            } else if (c == kNameEnd && !colonSeen) {
                colonSeen = true;
                if (lineKnown && nameSeen && ColonSetOffByMarkup(markup, next - 1)) last = {true, lineStart, next - 1};
            } else if (!colonSeen && !IsNameBlank(c)) {
                nameSeen = true;
            }
            previous = c;
            return true;
        },
        start, inTag);
    return last;
}

}  // namespace

ImMessage NewestImMessageOf(std::wstring_view markup) { return NewestImMessageOf(markup, 4096); }

ImMessage NewestImMessageOf(std::wstring_view markup, std::size_t firstWindow) {
    // Walked from near the end, reaching further back only while that part names no sender:
    // the cost is that of the newest messages, not of the whole conversation.
    SenderLine line;
    for (std::size_t window = firstWindow > 0 ? firstWindow : 1;; window *= 4) {
        const std::size_t start = window >= markup.size() ? 0 : OutsideLineBreakTag(markup, markup.size() - window);
        line = LastSenderLine(markup, start, InTagAt(markup, start));
        if (line.found || start == 0) break;
    }
    ImMessage message;
    if (!line.found) return message;

    const std::wstring name = PlainTextBetween(markup, line.lineStart, line.colon);
    std::size_t first = 0;
    std::size_t last = name.size();
    while (first < last && IsNameBlank(name[first])) ++first;
    while (last > first && IsNameBlank(name[last - 1])) --last;
    message.sender = name.substr(first, last - first);
    message.text = PlainTextBetween(markup, line.colon + 1, markup.size());
    if (!message.text.empty() && message.text.front() == L' ') message.text.erase(0, 1);
    return message;
}

}  // namespace velmora
