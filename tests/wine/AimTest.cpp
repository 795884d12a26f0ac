// The AIM module against the AIM stand-in: what it writes, which button it presses, what it
// reads, and how it behaves when the IM window is missing, partly missing or hung.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "aim/AIM.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using testing::EscapeLine;
using testing::StandInProcess;
using testing::UnescapeLine;

StandInProcess StartAim(const std::wstring& arguments = L"") {
    return StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), arguments);
}

std::vector<std::string> RepliesAfter(StandInProcess& aim, const std::string& command, std::string_view prefix) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command(command)) {
        EXPECT_EQ(reply.rfind(prefix, 0), 0u) << reply;
        texts.push_back(UnescapeLine(reply.substr(prefix.size())));
    }
    return texts;
}

std::vector<std::string> SentTexts(StandInProcess& aim) { return RepliesAfter(aim, "sent", "sent "); }
std::string Presses(StandInProcess& aim) { return aim.Command("presses").at(0); }
std::string Entry(StandInProcess& aim) { return RepliesAfter(aim, "entry", "entry ").at(0); }
std::string Conversation(StandInProcess& aim) { return RepliesAfter(aim, "conv", "conv ").at(0); }

void SetConversation(StandInProcess& aim, const std::string& markup) { aim.Command("set " + EscapeLine(markup)); }

// ---------------------------------------------------------------------------

TEST(AimSend, WritesIntoTheSecondPaneAndPressesOnlyTheFirstButton) {
    StandInProcess aim = StartAim();
    SetConversation(aim, "<B>pal42</B>: hi");
    EXPECT_EQ(SendImText(L"back in five"), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{"back in five"});
    EXPECT_EQ(Presses(aim), "presses 1 0 0");
    // The stand-in's Send made it the user's own line; the conversation pane was not written.
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: hi<BR><B>me99</B>: back in five");
    EXPECT_EQ(Entry(aim), "");
}

TEST(AimSend, TextWithLineBreaksCrossesUnchanged) {
    StandInProcess aim = StartAim();
    const std::wstring reply = L"Personal Message - I'll  Be right back\r\n";
    EXPECT_EQ(SendImText(reply), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{"Personal Message - I'll  Be right back\r\n"});
    EXPECT_EQ(SendImText(L"two\r\nlines\r\n\r\nand a gap"), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim).at(1), "two\r\nlines\r\n\r\nand a gap");
}

TEST(AimSend, EachCallSendsOnce) {
    StandInProcess aim = StartAim();
    SendImText(L"one");
    SendImText(L"two");
    EXPECT_EQ(SentTexts(aim), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Presses(aim), "presses 2 0 0");
}

TEST(AimSend, WithOnePaneNothingIsWrittenButSendIsStillPressed) {
    StandInProcess aim = StartAim(L"--panes 1");
    SetConversation(aim, "<B>pal42</B>: hi");
    EXPECT_EQ(SendImText(L"nowhere to go"), ImAnswer::InTime);
    EXPECT_EQ(Presses(aim), "presses 1 0 0");
    EXPECT_TRUE(SentTexts(aim).empty());
    // Not written into the only pane, which is the conversation.
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: hi");
}

TEST(AimSend, WithoutButtonsTheTextWaitsInTheEntry) {
    StandInProcess aim = StartAim(L"--buttons 0");
    EXPECT_EQ(SendImText(L"typed only"), ImAnswer::InTime);
    EXPECT_EQ(Entry(aim), "typed only");
    EXPECT_TRUE(SentTexts(aim).empty());
}

TEST(AimSend, WithNoImWindowNothingIsSentAndNothingWaited) {
    StandInProcess aim = StartAim();
    aim.Command("close");
    EXPECT_EQ(SendImText(L"to nobody"), ImAnswer::InTime);
    aim.Command("open");
    EXPECT_TRUE(SentTexts(aim).empty());
    EXPECT_EQ(Presses(aim), "presses 0 0 0");
    EXPECT_EQ(Entry(aim), "");
}

TEST(AimSend, TheDraftTheUserIsTypingComesBackAfterTheReply) {
    StandInProcess aim = StartAim();
    aim.Command("draft " + EscapeLine("so what I meant\r\nwas"));
    EXPECT_EQ(SendImText(L"back in five"), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{"back in five"});
    EXPECT_EQ(Entry(aim), "so what I meant\r\nwas");
}

// ---------------------------------------------------------------------------
// Every character of a reply. The classic client's entry is an ANSI window whose text is HTML:
// the characters the code page lacks go in as references, what reads as markup as entities. A
// Unicode entry (the stand-in's --unicode) holds plain text and gets the reply itself.

const std::wstring kEmoji = L"\U0001F600";
// Cyrillic, Greek, an emoji, what reads as markup, and two lines.
const std::wstring kWorldlyReply =
    L"\u041f\u0440\u0438\u0432\u0435\u0442, \u0395\u03bb\u03ad\u03bd\u03b7 " + kEmoji + L"\r\nTom & Jerry <3 caf\u00e9";
// The same in code page 1252's HTML entry.
const std::string kWorldlyReplyHtml =
    "&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;, &#917;&#955;&#941;&#957;&#951; &#128512;\r\nTom &amp; Jerry &lt;3 "
    "caf\xE9";

std::string Utf8(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), bytes, nullptr,
                        nullptr);
    return converted;
}

TEST(AimEveryCharacter, AnAnsiEntryGetsReferencesForWhatTheCodePageLacksAndTheDraftBackByteForByte) {
    if (GetACP() != 1252) GTEST_SKIP() << "the expected bytes are those of code page 1252, not " << GetACP();
    StandInProcess aim = StartAim();
    // Markup the client keeps in its entry, bytes no letter of 1252 has, and line breaks.
    const std::string draft = "caf\xE9 &amp; <b>half</b>\r\n\x80\x81\x8D\x90\x9D\xFF";
    aim.Command("draft " + EscapeLine(draft));
    EXPECT_EQ(SendImText(kWorldlyReply), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{kWorldlyReplyHtml});
    EXPECT_EQ(Entry(aim), draft);

    // A long reply of many lines, each with an emoji: every line whole, no "?" anywhere.
    std::wstring longReply;
    std::string longReplyHtml;
    for (int line = 0; line < 200; ++line) {
        longReply += L"\u0395\u03bb\u03ad\u03bd\u03b7 " + kEmoji + L"\r\n";
        longReplyHtml += "&#917;&#955;&#941;&#957;&#951; &#128512;\r\n";
    }
    EXPECT_EQ(SendImText(longReply), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim).at(1), longReplyHtml);
    EXPECT_EQ(Entry(aim), draft);
}

TEST(AimEveryCharacter, AUnicodeEntryGetsTheReplyItselfAndTheDraftBackExactly) {
    StandInProcess aim = StartAim(L"--unicode");
    const std::wstring draft = L"\u0447\u0442\u043e-\u0442\u043e \u03b1 " + kEmoji + L" <b>&amp;\r\nhalf";
    aim.Command("draft " + EscapeLine(Utf8(draft)));
    EXPECT_EQ(SendImText(kWorldlyReply), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{Utf8(kWorldlyReply)});
    EXPECT_EQ(Entry(aim), Utf8(draft));
    // Such a client makes the markup itself, so the buddy reads what was typed.
    EXPECT_EQ(Conversation(aim), Utf8(L"<B>me99</B>: \u041f\u0440\u0438\u0432\u0435\u0442, "
                                      L"\u0395\u03bb\u03ad\u03bd\u03b7 " +
                                      kEmoji + L"<BR>Tom &amp; Jerry &lt;3 caf\u00e9"));

    std::wstring longReply;
    for (int line = 0; line < 200; ++line) longReply += L"\u041f\u0440\u0438 " + kEmoji + L" & <\r\n";
    EXPECT_EQ(SendImText(longReply), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(aim).at(1), Utf8(longReply));
    EXPECT_EQ(Entry(aim), Utf8(draft));
}

TEST(AimEveryCharacter, AUnicodeEntryOfAHungClientIsGivenUpOnWithoutPressing) {
    StandInProcess aim = StartAim(L"--unicode");
    aim.Command("hang 3000");
    EXPECT_EQ(SendImText(kWorldlyReply), ImAnswer::TimedOut);
    EXPECT_EQ(Presses(aim), "presses 0 0 0");
    EXPECT_TRUE(SentTexts(aim).empty());
}

// ---------------------------------------------------------------------------

// A client (or Winamp) answering lengths and counts that cannot be true: nothing faults, no
// reading reaches past its buffer or beyond the bound, and a reply goes out only where the
// draft in the entry could be read (and then comes back). (Lengths of gigabytes are left out:
// under Wine the system's own ANSI conversion on Velmora's side asks for such a text itself
// before Velmora sees an answer.)
TEST(AimNonsense, NoAnswerIsTrusted) {
    StandInProcess aim = StartAim();
    SetConversation(aim, "<B>pal42</B>: hi");
    aim.Command("draft mine");
    const std::wstring realTitle = L"pal42 - Instant Message";
    size_t sent = 0;
    for (const char* lie : {"-1 2147483647", "-2147483648 0", "5 -1", "5 2147483647", "-1 -1"}) {
        SCOPED_TRACE(lie);
        aim.Command(std::string("lie ") + lie);
        const ImReading line = ReadLastImLine();
        EXPECT_FALSE(line.TimedOut());
        EXPECT_LE(line.text.size(), 5u);
        if (line.Failed()) {
            EXPECT_EQ(line.text, L"");
        }
        const ImAnswer answer = SendImText(L"reply");
        EXPECT_NE(answer, ImAnswer::TimedOut);
        const std::wstring title = GetWindowTitle(FindWindowA("aim_imessage", nullptr));
        EXPECT_LE(title.size(), 5u);
        EXPECT_EQ(realTitle.substr(0, title.size()), title);
        aim.Command("truth");
        EXPECT_EQ(Entry(aim), "mine") << "the draft";
        if (answer == ImAnswer::InTime) ++sent;
        EXPECT_EQ(SentTexts(aim).size(), sent);
    }
    // Lengths below zero are never taken for a text.
    aim.Command("lie -1 0");
    EXPECT_EQ(ReadLastImLine().answer, ImAnswer::Nonsense);
    EXPECT_EQ(SendImText(L"reply"), ImAnswer::Nonsense);
}

// ---------------------------------------------------------------------------

TEST(AimRead, LastLineAndSenderFromTheConversationPane) {
    StandInProcess aim = StartAim();
    aim.Command("recv pal42 hi");
    aim.Command("recv me99 brb");
    aim.Command("recv pal42 where are you?");
    const ImReading line = ReadLastImLine();
    EXPECT_FALSE(line.TimedOut());
    EXPECT_EQ(line.text, L"\npal42: where are you?");
    const ImReading sender = LastImSender();
    EXPECT_FALSE(sender.TimedOut());
    EXPECT_EQ(sender.text, L"pal42");
}

TEST(AimRead, TheWorkedConversationsReadThroughTheWindow) {
    struct Case {
        const char* markup;
        const wchar_t* lastLine;
        const wchar_t* sender;
    };
    const Case cases[] = {
        {"<B>me99</B>: back soon<BR>", L"\n", L""},
        {"pal42: hi", L"pal42: hi", L"pal42"},
        {"<BR>12:30 pal42: hi", L"\n12:30 pal42: hi", L"12"},
        {"a > b<BR>pal42: 1 < 2", L"\npal42: 1 ", L"pal42"},
        {"<BR>no colon here", L"\nno colon here", L""},
        {"<BR>: hi", L"\n: hi", L""},
        {"", L"", L""},
    };
    StandInProcess aim = StartAim();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        SetConversation(aim, c.markup);
        EXPECT_EQ(ReadLastImLine().text, c.lastLine);
        EXPECT_EQ(LastImSender().text, c.sender);
    }
}

TEST(AimRead, TheEntryPaneIsNotRead) {
    StandInProcess aim = StartAim(L"--buttons 0");
    SetConversation(aim, "<B>pal42</B>: hi");
    SendImText(L"<B>me99</B>: not the conversation");
    EXPECT_EQ(LastImSender().text, L"pal42");
}

TEST(AimRead, ALongConversationIsReadWhole) {
    StandInProcess aim = StartAim();
    std::string markup;
    while (markup.size() < 34000) markup += "<B>pal42</B>: a line of chatter that goes on<BR>";
    markup += "<B>Pellbrook</B>: the last word";
    SetConversation(aim, markup);
    EXPECT_EQ(ReadLastImLine().text, L"\nPellbrook: the last word");
    EXPECT_EQ(LastImSender().text, L"Pellbrook");
}

TEST(AimRead, WithNoImWindowTheReadersReturnEmptyInTime) {
    StandInProcess aim = StartAim();
    aim.Command("recv pal42 hi");
    aim.Command("close");
    const ImReading line = ReadLastImLine();
    EXPECT_FALSE(line.TimedOut());
    EXPECT_EQ(line.text, L"");
    const ImReading sender = LastImSender();
    EXPECT_FALSE(sender.TimedOut());
    EXPECT_EQ(sender.text, L"");
}

TEST(AimRead, WithNoPanesTheReadersReturnEmpty) {
    StandInProcess aim = StartAim(L"--panes 0");
    EXPECT_EQ(ReadLastImLine().text, L"");
    EXPECT_EQ(LastImSender().text, L"");
}

TEST(AimRead, NonAsciiNamesComeBackFromTheAnsiCodePage) {
    const char eAcute[] = "\xE9";
    wchar_t wide[4] = {};
    if (GetACP() == CP_UTF8 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, eAcute, 1, wide, 4) != 1)
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no such letter";
    StandInProcess aim = StartAim();
    aim.Command(std::string("recv Ren") + eAcute + " salut");
    EXPECT_EQ(LastImSender().text, std::wstring(L"Ren") + wide[0]);
    SendImText(std::wstring(L"caf") + wide[0]);
    EXPECT_EQ(SentTexts(aim).at(0), std::string("caf") + eAcute);
}

// ---------------------------------------------------------------------------

// Long enough that a call which waited for the client's answer would still be waiting when the
// test looks; the stand-in is ended at the end of each test either way.
constexpr int kLongHangMs = 60000;

TEST(AimHungClient, AReadGivesUpAndSaysSo) {
    StandInProcess aim = StartAim();
    aim.Command("recv pal42 hi");
    aim.Command("hang " + std::to_string(kLongHangMs));
    // Each reading comes back before the hang ends, told apart from an empty one.
    const ImReading line = ReadLastImLine();
    EXPECT_TRUE(line.TimedOut());
    EXPECT_EQ(line.text, L"");
    const ImReading sender = LastImSender();
    EXPECT_TRUE(sender.TimedOut());
    EXPECT_EQ(sender.text, L"");
}

TEST(AimHungClient, ASendGivesUpWithoutPressingAndIsNotRetried) {
    StandInProcess aim = StartAim();
    aim.Command("hang 3000");
    EXPECT_EQ(SendImText(L"while hung"), ImAnswer::TimedOut);
    // Commands wait for the hang to end; by then anything still on its way has arrived.
    EXPECT_EQ(Presses(aim), "presses 0 0 0");
    EXPECT_TRUE(SentTexts(aim).empty());
}

TEST(AimHungClient, ReadsWorkAgainOnceTheClientAnswers) {
    StandInProcess aim = StartAim();
    aim.Command("recv pal42 hi");
    aim.Command("hang 3000");
    EXPECT_TRUE(LastImSender().TimedOut());
    aim.Command("recv Pellbrook back");  // answered once the hang is over
    ImReading sender;
    EXPECT_TRUE(testing::WaitUntil([&] {
        sender = LastImSender();
        return !sender.TimedOut();
    }));
    EXPECT_EQ(sender.text, L"Pellbrook");
}

// ---------------------------------------------------------------------------
// Several conversations: the functions that take an IM window.

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The stand-in's windows by title, through Velmora's own listing.
ImWindow WindowTitled(const std::wstring& title) {
    for (ImWindow im : ImWindows())
        if (ImWindowTitle(im) == title) return im;
    return nullptr;
}

TEST(AimWindows, EveryImWindowIsListedWithItsTitleAndTheFirstIsTheOneFoundFirst) {
    StandInProcess aim = StartAim();
    aim.Command("im bob");
    aim.Command("imtitle Chat with carol");
    const std::vector<ImWindow> windows = ImWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows.front(), FirstImWindow());
    std::vector<std::wstring> titles;
    for (ImWindow im : windows) titles.push_back(ImWindowTitle(im));
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles,
              (std::vector<std::wstring>{L"Chat with carol", L"bob - Instant Message", L"pal42 - Instant Message"}));
    // Another program's windows of other classes are not IM windows.
    StandInProcess winamp = StandInProcess::Start(testing::StandInPath(L"winamp-standin.exe"), L"");
    EXPECT_EQ(ImWindows().size(), 3u);
    // A title is read without asking the client, so a lying window still shows it whole.
    aim.Command("at 2 lie 2 2");
    EXPECT_NE(WindowTitled(L"bob - Instant Message"), nullptr);
    aim.Command("at 2 close");
    EXPECT_EQ(ImWindows().size(), 2u);
    EXPECT_EQ(ImWindowTitle(nullptr), L"");
}

TEST(AimWindows, EachWindowIsReadAndAnsweredOnItsOwnWithItsDraftPutBack) {
    StandInProcess aim = StartAim();
    aim.Command("im bob");
    aim.Command("im carol");
    aim.Command("recv pal42 first");
    aim.Command("at 2 recv bob hi");
    aim.Command("at 2 recv bob " + EscapeLine("are you\r\nthere?"));
    aim.Command("at 3 recv carol yo");
    aim.Command("at 3 draft half a thought");
    ImWindow bob = WindowTitled(L"bob - Instant Message");
    ImWindow carol = WindowTitled(L"carol - Instant Message");
    ASSERT_NE(bob, nullptr);
    ASSERT_NE(carol, nullptr);

    EXPECT_EQ(LastImSenderOf(bob).text, L"");  // the last line is the message's second
    EXPECT_EQ(ReadLastImLineOf(bob).text, L"\nthere?");
    EXPECT_EQ(LastImSenderOf(carol).text, L"carol");
    const ImReading markup = ConversationOf(bob);
    EXPECT_EQ(markup.text, L"<B>bob</B>: hi<BR><B>bob</B>: are you\r\nthere?");
    const ImLength length = ConversationLengthOf(bob);
    EXPECT_EQ(length.answer, ImAnswer::InTime);
    EXPECT_EQ(length.length, markup.text.size());

    EXPECT_EQ(SendImTextTo(carol, L"away, carol"), ImAnswer::InTime);
    EXPECT_EQ(RepliesAfter(aim, "at 3 sent", "sent "), std::vector<std::string>{"away, carol"});
    EXPECT_EQ(RepliesAfter(aim, "at 3 entry", "entry ").at(0), "half a thought");
    EXPECT_TRUE(RepliesAfter(aim, "at 2 sent", "sent ").empty());
    EXPECT_TRUE(SentTexts(aim).empty());
    EXPECT_EQ(ConversationLengthOf(carol).length, Widen(RepliesAfter(aim, "at 3 conv", "conv ").at(0)).size());

    // The first-window functions are these with the first window the system lists (the one
    // on top, not the oldest).
    EXPECT_EQ(LastImSender().text, LastImSenderOf(FirstImWindow()).text);
    EXPECT_EQ(LastImSenderOf(WindowTitled(L"pal42 - Instant Message")).text, L"pal42");

    // A window that has gone answers nothing, at once.
    aim.Command("at 2 close");
    EXPECT_EQ(ConversationLengthOf(bob).answer, ImAnswer::InTime);
    EXPECT_EQ(ConversationLengthOf(bob).length, 0u);
    EXPECT_EQ(SendImTextTo(bob, L"gone"), ImAnswer::InTime);
    EXPECT_EQ(RepliesAfter(aim, "at 2 sent", "sent ").size(), 0u);
}

TEST(AimWindows, AMegabyteConversationIsReadWholeInTime) {
    StandInProcess aim = StartAim();
    std::string megabyte;
    // In lines, which the stand-in's pane lays out in good time.
    while (megabyte.size() < (1u << 20)) megabyte += "<B>pal42</B>: a line of an old talk\r\n<BR>";
    megabyte += "<B>Pellbrook</B>: the last word";
    SetConversation(aim, megabyte);
    ImWindow im = WindowTitled(L"pal42 - Instant Message");
    EXPECT_EQ(ConversationLengthOf(im).length, megabyte.size());
    const ImReading markup = ConversationOf(im);
    EXPECT_EQ(markup.answer, ImAnswer::InTime);
    EXPECT_EQ(markup.text.size(), megabyte.size());
    EXPECT_EQ(LastImSenderOf(im).text, L"Pellbrook");
}

TEST(AimWindows, ALyingWindowIsNonsenseAndTheOthersAreRead) {
    StandInProcess aim = StartAim();
    aim.Command("im bob");
    aim.Command("at 2 recv bob hi");
    aim.Command("recv pal42 hello");
    aim.Command("lie -1 0");
    ImWindow first = WindowTitled(L"pal42 - Instant Message");
    EXPECT_EQ(ConversationLengthOf(first).answer, ImAnswer::Nonsense);
    EXPECT_EQ(ConversationOf(first).answer, ImAnswer::Nonsense);
    EXPECT_EQ(LastImSenderOf(WindowTitled(L"bob - Instant Message")).text, L"bob");
}

TEST(AimWindows, AHungClientIsSkippedAndAnotherClientIsStillReadAndAnswered) {
    StandInProcess hung = StartAim(L"--title " + testing::QuoteArgument(L"slow - Instant Message"));
    StandInProcess well = StartAim(L"--title " + testing::QuoteArgument(L"quick - Instant Message"));
    well.Command("recv quick are you there?");
    ImWindow slow = WindowTitled(L"slow - Instant Message");
    ImWindow quick = WindowTitled(L"quick - Instant Message");
    ASSERT_NE(slow, nullptr);
    ASSERT_NE(quick, nullptr);

    hung.Command("hang " + std::to_string(kLongHangMs));
    EXPECT_EQ(ConversationLengthOf(slow).answer, ImAnswer::TimedOut);
    // Its message is still on its way: the next is not sent, and says so.
    EXPECT_EQ(ConversationLengthOf(slow).answer, ImAnswer::TimedOut);
    EXPECT_TRUE(ConversationOf(slow).TimedOut());
    EXPECT_EQ(SendImTextTo(slow, L"no"), ImAnswer::TimedOut);

    // The other client's messages travel apart and are answered.
    EXPECT_EQ(LastImSenderOf(quick).text, L"quick");
    EXPECT_EQ(SendImTextTo(quick, L"yes, here"), ImAnswer::InTime);
    EXPECT_EQ(SentTexts(well), std::vector<std::string>{"yes, here"});
    EXPECT_EQ(ConversationLengthOf(slow).answer, ImAnswer::TimedOut) << "still hung";
}

}  // namespace
}  // namespace velmora
