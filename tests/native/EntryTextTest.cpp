#include <gtest/gtest.h>

#include <random>
#include <string>

#include "aim/EntryText.h"

namespace velmora {
namespace {

// Code pages as the rule sees them: Latin-1 (close to the Western 1252) and UTF-8.
bool Latin1(char32_t c) { return c < 0x100; }
bool Everything(char32_t) { return true; }

// What an HTML reader shows of the entry's text: the three entities and decimal references.
std::wstring AsShown(std::wstring_view html) {
    std::wstring shown;
    for (std::size_t at = 0; at < html.size(); ++at) {
        const std::wstring_view rest = html.substr(at);
        if (rest.starts_with(L"&amp;") || rest.starts_with(L"&lt;") || rest.starts_with(L"&gt;")) {
            shown += rest[1] == L'a' ? L'&' : rest[1] == L'l' ? L'<' : L'>';
            at += rest[1] == L'a' ? std::size_t{4} : std::size_t{3};
        } else if (rest.starts_with(L"&#")) {
            const std::size_t end = rest.find(L';');
            // As two halves, the way the replies below hold a character beyond the plane.
            const auto character = static_cast<char32_t>(std::stoul(std::wstring(rest.substr(2, end - 2))));
            if (character > 0xFFFF) {
                shown += static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
                shown += static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
            } else {
                shown += static_cast<wchar_t>(character);
            }
            at += end;
        } else {
            shown += html[at];
        }
    }
    return shown;
}

TEST(ReplyForHtmlEntry, CharactersTheCodePageLacksBecomeReferencesAnEmojiOneOfThem) {
    const std::wstring emoji{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(
        ReplyForHtmlEntry(
            L"\u041f\u0440\u0438\u0432\u0435\u0442, \u0395\u03bb\u03ad\u03bd\u03b7 " + emoji + L" caf\u00e9", Latin1),
        L"&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;, &#917;&#955;&#941;&#957;&#951; &#128512; caf\u00e9");
    // A lone half is no character: the replacement character stands for it.
    EXPECT_EQ(ReplyForHtmlEntry(std::wstring(L"a") + static_cast<wchar_t>(0xDC00) + L"b", Latin1), L"a&#65533;b");
    // Where the code page carries everything, only the escapes remain.
    EXPECT_EQ(ReplyForHtmlEntry(L"\u041f " + emoji + L" & <", Everything), L"\u041f " + emoji + L" &amp; &lt;");
}

TEST(ReplyForHtmlEntry, WhatTheUserTypedAsMarkupArrivesAsTyped) {
    EXPECT_EQ(ReplyForHtmlEntry(L"Tom & Jerry <3 -> <B>x</B>", Latin1),
              L"Tom &amp; Jerry &lt;3 -&gt; &lt;B&gt;x&lt;/B&gt;");
    // A reference or entity the user typed is text, not the character it would name.
    EXPECT_EQ(ReplyForHtmlEntry(L"&#1055; &amp; &", Latin1), L"&amp;#1055; &amp;amp; &amp;");
}

TEST(ReplyForHtmlEntry, ALongMultiLineReplyInTheCodePageIsUnchanged) {
    std::wstring reply;
    for (int line = 0; line < 2000; ++line) reply += L"Back at six, caf\u00e9 \u00fcber 100% \"ok\"?\r\n";
    reply += L"\r\n\r\n-- me";
    EXPECT_EQ(ReplyForHtmlEntry(reply, Latin1), reply);
    EXPECT_EQ(ReplyForHtmlEntry(L"", Latin1), L"");
}

// Whatever the reply, an HTML reader shows exactly it (a lone half as U+FFFD), even where the
// user's "&", "#", digits and ";" stand right beside a reference.
TEST(ReplyForHtmlEntry, AnHtmlReaderShowsEveryReplyAsItWasTyped) {
    const std::wstring pool = L"&#;0159<>\r\nab\u00e9\u041f\u03bb";
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::wstring reply;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                reply += std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
            else
                reply += pool[random() % pool.size()];
        }
        const std::wstring html = ReplyForHtmlEntry(reply, Latin1);
        EXPECT_EQ(AsShown(html), reply) << "round " << round;
        for (wchar_t c : html) EXPECT_TRUE(c < 0x100) << "round " << round;
    }
}

}  // namespace
}  // namespace velmora
