#include <gtest/gtest.h>

#include <random>
#include <string>

#include "aim/EntryText.h"

namespace velmora {
namespace {

// Code pages as the rule sees them: Latin-1 (close to the Western 1252) and UTF-8.
bool Latin1(char32_t c) { return c < 0x100; }
bool Everything(char32_t) { return true; }

const std::wstring kEmoji{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};

TEST(ReplyForHtmlEntry, WhatTheCodePageLacksBecomesReferencesAndWhatReadsAsMarkupEntities) {
    EXPECT_EQ(ReplyForHtmlEntry(
                  L"\u041f\u0440\u0438, \u0395\u03bb\u03ad " + kEmoji + L"\r\nTom & Jerry <3 -> caf\u00e9", Latin1),
              L"&#1055;&#1088;&#1080;, &#917;&#955;&#941; &#128512;\r\nTom &amp; Jerry &lt;3 -&gt; caf\u00e9");
    // A reference or entity the user typed is text, not the character it would name.
    EXPECT_EQ(ReplyForHtmlEntry(L"&#1055; &amp; <B>", Latin1), L"&amp;#1055; &amp;amp; &lt;B&gt;");
    // Where the code page carries everything, only the escapes remain.
    EXPECT_EQ(ReplyForHtmlEntry(L"\u041f " + kEmoji + L" & <", Everything), L"\u041f " + kEmoji + L" &amp; &lt;");
    // A long reply of many lines in the code page, without markup, goes as it stands.
    std::wstring plain;
    for (int line = 0; line < 2000; ++line) plain += L"Back at six, caf\u00e9 \u00fcber 100% \"ok\"?\r\n";
    EXPECT_EQ(ReplyForHtmlEntry(plain, Latin1), plain);
}

// What an HTML reader shows of the entry: the three entities and decimal references (a
// character beyond the plane as two halves, as the replies below hold it).
std::wstring AsShown(std::wstring_view html) {
    std::wstring shown;
    for (std::size_t at = 0; at < html.size(); ++at) {
        const std::wstring_view rest = html.substr(at);
        if (rest.starts_with(L"&amp;") || rest.starts_with(L"&lt;") || rest.starts_with(L"&gt;")) {
            shown += rest[1] == L'a' ? L'&' : rest[1] == L'l' ? L'<' : L'>';
            at = html.find(L';', at);
        } else if (rest.starts_with(L"&#")) {
            const std::size_t end = rest.find(L';');
            const auto c = static_cast<char32_t>(std::stoul(std::wstring(rest.substr(2, end - 2))));
            if (c > 0xFFFF)
                shown += kEmoji;  // the only such character the replies hold
            else
                shown += static_cast<wchar_t>(c);
            at += end;
        } else {
            shown += html[at];
        }
    }
    return shown;
}

// Whatever the reply, an HTML reader shows exactly it, even where the user's "&", "#", digits
// and ";" stand right beside a reference; and every character is one of the code page.
TEST(ReplyForHtmlEntry, AnHtmlReaderShowsEveryReplyAsItWasTyped) {
    const std::wstring pool = L"&#;0159<>\r\nab\u00e9\u041f\u03bb";
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::wstring reply;
        for (auto i = random() % 24; i > 0; --i)
            reply += random() % 8 == 0 ? kEmoji : pool.substr(random() % pool.size(), 1);
        const std::wstring html = ReplyForHtmlEntry(reply, Latin1);
        ASSERT_EQ(AsShown(html), reply) << "round " << round;
        for (wchar_t c : html) ASSERT_LT(static_cast<unsigned>(c), 0x100u) << "round " << round;
    }
}

}  // namespace
}  // namespace velmora
