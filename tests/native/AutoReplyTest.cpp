// Auto Reply's rules and its conversation tracker, given what the IM windows show, as the
// watcher reads them: a window's text only when the tracker asks for it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "aim/ImText.h"
#include "autoreply/AutoReplyRules.h"
#include "autoreply/AutoReplySettings.h"
#include "autoreply/ConversationTracker.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

AutoReplySettings Rules(std::vector<AutoReplyRule> rows, bool everyoneElse = false,
                        std::wstring everyoneElseReply = L"") {
    AutoReplySettings settings;
    settings.rules = std::move(rows);
    settings.everyoneElse = everyoneElse;
    settings.everyoneElseReply = std::move(everyoneElseReply);
    settings.on = true;
    return settings;
}

// ---------------------------------------------------------------------------

TEST(AutoReplyRules, RowsNameWholeScreenNamesSeparatedByCommasAsTheServiceComparesThem) {
    EXPECT_EQ(NamesOf(L"  pal42,Sam 7 ,\tPellbrook\r\n,, ,"),
              (std::vector<std::wstring_view>{L"pal42", L"Sam 7", L"Pellbrook"}));
    EXPECT_TRUE(NamesOf(L" , \r\n ").empty());
    EXPECT_TRUE(RuleMatches(L"pal42, Pellbrook", L"pellbrook"));
    EXPECT_TRUE(RuleMatches(L"pal42", L"Pal 42")) << "blanks and letter case do not count";
    EXPECT_TRUE(RuleMatches(L"Sam 7, bob", L"sam7"));
    EXPECT_TRUE(RuleMatches(L"x,\u0420\u0435\u043d\u0430", L"\u0420\u0415\u041d\u0410"));
    // A part of a name is not the name, either way round.
    EXPECT_FALSE(RuleMatches(L"pal42, bob", L"pal"));
    EXPECT_FALSE(RuleMatches(L"johnsmith", L"john"));
    EXPECT_FALSE(RuleMatches(L"pal42", L"pal421"));
    EXPECT_FALSE(RuleMatches(L"pal42, me99", L"pal42, me99")) << "a sender is one name";
    EXPECT_FALSE(RuleMatches(L"pal42", L""));
    EXPECT_FALSE(RuleMatches(L"pal42", L"  "));
    EXPECT_FALSE(RuleMatches(L"", L"pal42"));
    EXPECT_FALSE(RuleMatches(L" , ", L" "));
}

TEST(AutoReplyRules, ARowWrittenWithBlanksBetweenNamesGetsCommas) {
    EXPECT_EQ(CommaNamesFromBlankNames(L"pal42 bob"), L"pal42, bob");
    EXPECT_EQ(CommaNamesFromBlankNames(L"  pal42\tme99\r\n Pellbrook\u00a0x  "), L"pal42, me99, Pellbrook, x");
    EXPECT_EQ(CommaNamesFromBlankNames(L""), L"");
    EXPECT_EQ(CommaNamesFromBlankNames(L" \r\n "), L"");
    // Each name keeps the meaning it had: one name per word.
    const std::wstring converted = CommaNamesFromBlankNames(L"pal42 bob carol");
    EXPECT_TRUE(RuleMatches(converted, L"bob"));
    EXPECT_FALSE(RuleMatches(converted, L"pal42 bob"));
    EXPECT_EQ(NamesOf(converted).size(), 3u);
}

TEST(AutoReplyRules, TheTitleNamesTheBuddyWhateverTheClientAddsAfterIt) {
    using Buddy = std::optional<std::wstring_view>;
    EXPECT_EQ(BuddyOfImTitle(L"pal42 - Instant Message"), Buddy(L"pal42"));
    EXPECT_EQ(BuddyOfImTitle(L"mallory - Instant Message (typing)"), Buddy(L"mallory"));
    EXPECT_EQ(BuddyOfImTitle(L"Sam 7 - Instant Message - Away"), Buddy(L"Sam 7"));
    EXPECT_EQ(BuddyOfImTitle(L"pal42 - IM"), std::nullopt);
    EXPECT_EQ(BuddyOfImTitle(L"Chat with pal42"), std::nullopt);
    EXPECT_EQ(BuddyOfImTitle(L"  - Instant Message"), std::nullopt);
    EXPECT_EQ(BuddyOfImTitle(L"pal42 - instant message"), std::nullopt);
    EXPECT_EQ(BuddyOfImTitle(L""), std::nullopt);
}

TEST(AutoReplyRules, TheFirstMatchingRowWinsThenEveryoneElseForACheckedSenderOnly) {
    AutoReplySettings settings = Rules({{L"bob, carol", L"hi friend"}, {L"carol", L"hi carol"}, {L"", L"nobody"}});
    std::size_t row = 99;
    EXPECT_EQ(ReplyFor(settings, L"Carol", &row), std::optional<std::wstring_view>(L"hi friend"));
    EXPECT_EQ(row, 0u);
    EXPECT_EQ(ReplyFor(settings, L"dave"), std::nullopt);
    EXPECT_EQ(ReplyFor(settings, L""), std::nullopt);
    settings.everyoneElse = true;
    settings.everyoneElseReply = L"away";
    EXPECT_EQ(ReplyFor(settings, L"dave", &row), std::optional<std::wstring_view>(L"away"));
    EXPECT_EQ(row, 3u);
    EXPECT_EQ(ReplyFor(settings, L""), std::nullopt) << "a line without a name answers nobody";
    // A sender the title could not confirm: only a row that names it.
    EXPECT_EQ(ReplyFor(settings, L"dave", nullptr, SenderCheck::Unchecked), std::nullopt);
    EXPECT_EQ(ReplyFor(settings, L"bob", nullptr, SenderCheck::Unchecked),
              std::optional<std::wstring_view>(L"hi friend"));
    EXPECT_TRUE(SaysNothing(L" \r\n\t"));
    EXPECT_FALSE(SaysNothing(L" .\r\n"));
}

TEST(AutoReplyRules, ALogRowShowsTheFirstWordsOnOneLine) {
    EXPECT_EQ(FirstWords(L"Back at\r\n  five,\tpromise"), L"Back at five, promise");
    EXPECT_EQ(FirstWords(L"\r\n"), L"");
    EXPECT_EQ(FirstWords(L"one two three four", 9), L"one two...");
    EXPECT_EQ(FirstWords(L"one two three", 8), L"one two...");
    EXPECT_EQ(FirstWords(std::wstring(100000, L'x'), 40), std::wstring(40, L'x') + L"...");
}

// ---------------------------------------------------------------------------
// The tracker, fed as the watcher feeds it.

constexpr std::uint64_t kMinute = 60'000;

class Desk {
public:
    struct Im {
        std::wstring title;
        std::wstring markup;
        bool hung = false;
    };

    void Open(ConversationId id, std::wstring buddy) { windows_[id] = {buddy + L" - Instant Message", L"", false}; }
    void OpenTitled(ConversationId id, std::wstring title) { windows_[id] = {std::move(title), L"", false}; }
    void Close(ConversationId id) { windows_.erase(id); }
    // As the client shows a message: its line breaks as "<BR>".
    void Say(ConversationId id, std::wstring_view sender, std::wstring_view text) {
        std::wstring& markup = windows_.at(id).markup;
        if (!markup.empty()) markup += L"<BR>";
        markup += L"<B>" + std::wstring(sender) + L"</B>: ";
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text.substr(at, 2) == L"\r\n") {
                markup += L"<BR>";
                ++at;
            } else {
                markup += text[at];
            }
        }
    }
    void Hang(ConversationId id, bool hung) { windows_.at(id).hung = hung; }

    // The switch goes on: the windows are listed with their lengths, as the watch lists them.
    void SwitchOn() {
        std::vector<ConversationReading> shown;
        for (const auto& [id, im] : windows_) {
            ConversationReading reading;
            reading.id = id;
            reading.title = im.title;
            reading.answered = !im.hung;
            reading.length = im.hung ? 0 : im.markup.size();
            shown.push_back(std::move(reading));
        }
        tracker.SwitchOn(shown);
    }

    // One tick; each answer is sent at once, as the client shows a sent line.
    std::vector<ConversationAnswer> Tick(std::uint64_t nowMs, std::uint64_t idleMs = 0) {
        std::vector<ConversationReading> readings;
        for (const auto& [id, im] : windows_) {
            ConversationReading reading;
            reading.id = id;
            reading.title = im.title;
            reading.answered = !im.hung;
            if (!im.hung) {
                reading.length = im.markup.size();
                if (tracker.NeedsText(id, reading.length)) {
                    reading.textRead = true;
                    ++textReads;
                    ImMessage newest = NewestImMessageOf(im.markup);
                    reading.sender = std::move(newest.sender);
                    reading.message = std::move(newest.text);
                    reading.foreground = id == foreground;
                }
            }
            readings.push_back(std::move(reading));
        }
        std::vector<ConversationAnswer> answers = tracker.Tick(readings, settings, {nowMs, idleMs});
        for (const ConversationAnswer& answer : answers) {
            Say(answer.id, me, answer.reply);
            tracker.Sent(answer.id, answer.reply, windows_.at(answer.id).markup.size());
        }
        return answers;
    }

    std::vector<ConversationId> AnsweredIn(std::uint64_t nowMs, std::uint64_t idleMs = 0) {
        std::vector<ConversationId> ids;
        for (const ConversationAnswer& answer : Tick(nowMs, idleMs)) ids.push_back(answer.id);
        return ids;
    }

    ConversationTracker tracker;
    AutoReplySettings settings = Rules({{L"pal42, bob, carol", L"away, back soon"}});
    std::wstring me = L"me99";
    ConversationId foreground = 0;  // the IM window the user works in
    int textReads = 0;

private:
    std::map<ConversationId, Im> windows_;
};

using Ids = std::vector<ConversationId>;

TEST(ConversationTracker, TheLineLastWhenSwitchedOnIsReadAndOnlyANewLineIsAnsweredOnce) {
    Desk desk;
    desk.Open(1, L"pal42");
    desk.Say(1, L"pal42", L"are you there?");
    desk.SwitchOn();
    EXPECT_EQ(desk.AnsweredIn(0), Ids{});
    EXPECT_EQ(desk.textReads, 0) << "the first tick takes only the lengths";
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{});

    desk.Say(1, L"pal42", L"hello?");
    const std::vector<ConversationAnswer> answers = desk.Tick(2200);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].id, 1u);
    EXPECT_EQ(answers[0].buddy, L"pal42");
    EXPECT_EQ(answers[0].reply, L"away, back soon");
    EXPECT_TRUE(answers[0].senderChecked);

    // Never again in this conversation (the default), also for later lines and hours later.
    for (std::uint64_t t = 3300; t < 20 * 1100; t += 1100) EXPECT_EQ(desk.AnsweredIn(t), Ids{});
    desk.Say(1, L"pal42", L"hello??");
    EXPECT_EQ(desk.AnsweredIn(500 * kMinute), Ids{});
    // Nothing changed: nothing was read again.
    const int reads = desk.textReads;
    desk.AnsweredIn(501 * kMinute);
    EXPECT_EQ(desk.textReads, reads);
}

TEST(ConversationTracker, EveryConversationIsAnsweredOnceAndTheOwnReplyNever) {
    Desk desk;
    desk.settings.everyoneElse = true;
    desk.settings.everyoneElseReply = L"not here";
    desk.Open(1, L"pal42");
    desk.Open(2, L"bob");
    desk.OpenTitled(3, L"Chat with carol");  // no buddy in the title: the own line is not filtered by it
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(1, L"pal42", L"hi");
    desk.Say(2, L"bob", L"hey");
    desk.Say(3, L"carol", L"yo");
    const std::vector<ConversationAnswer> answers = desk.Tick(1100);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_FALSE(answers[2].senderChecked);
    // The replies are the windows' last lines now, from me99 ("Everyone else" would take them).
    for (std::uint64_t t = 2200; t < 10 * 1100; t += 1100) EXPECT_EQ(desk.AnsweredIn(t), Ids{});
    EXPECT_EQ(desk.tracker.KnownConversations(), 3u);
}

// What the watch reads from a window's whole markup.
ConversationReading ReadingOf(ConversationId id, std::wstring title, std::wstring_view markup) {
    ConversationReading reading;
    reading.id = id;
    reading.title = std::move(title);
    reading.length = markup.size();
    reading.textRead = true;
    ImMessage newest = NewestImMessageOf(markup);
    reading.sender = std::move(newest.sender);
    reading.message = std::move(newest.text);
    return reading;
}

TEST(ConversationTracker, OwnReplyIsKnownAlsoWhenItsLengthCouldNotBeReadAfterSending) {
    ConversationTracker tracker;
    // A row may name the user's other screen name, one this computer's client never signed on.
    AutoReplySettings settings = Rules({{L"bob, me99", L"line one\r\nsee you"}});
    settings.answerAgainMinutes = 10;
    tracker.SwitchOn(std::vector{ReadingOf(7, L"Chat", L"")});
    ASSERT_EQ(tracker.Tick(std::vector{ReadingOf(7, L"Chat", L"<B>bob</B>: hi")}, settings, {1, 0}).size(), 1u);
    tracker.Sent(7, L"line one\r\nsee you", std::nullopt);
    // Eleven minutes on, the reply itself shows up as the newest message: it is not answered.
    const std::wstring shown = L"<B>bob</B>: hi<BR><B>me99</B>: line one<BR>see you";
    EXPECT_TRUE(tracker.Tick(std::vector{ReadingOf(7, L"Chat", shown)}, settings, {11 * kMinute, 0}).empty());
    EXPECT_EQ(
        tracker.Tick(std::vector{ReadingOf(7, L"Chat", shown + L"<BR><B>bob</B>: ok")}, settings, {12 * kMinute, 0})
            .size(),
        1u);
}

TEST(ConversationTracker, AClosedWindowIsForgottenAndOneOpenedAgainIsANewConversation) {
    Desk desk;
    desk.Open(1, L"pal42");
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(1, L"pal42", L"hi");
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{1});
    desk.Close(1);
    desk.AnsweredIn(2200);
    EXPECT_EQ(desk.tracker.KnownConversations(), 0u);
    // The client opens a window when a buddy writes: its first line is new and answered.
    desk.Open(2, L"pal42");
    desk.Say(2, L"pal42", L"back again");
    EXPECT_EQ(desk.AnsweredIn(3300), Ids{2});
    // Even when the window system gives it the old id again.
    desk.Close(2);
    desk.AnsweredIn(4400);
    desk.Open(1, L"pal42");
    desk.Say(1, L"pal42", L"and again");
    EXPECT_EQ(desk.AnsweredIn(5500), Ids{1});
}

TEST(ConversationTracker, AnsweredAgainOnlyAfterTheIntervalAndOnlyForANewLine) {
    Desk desk;
    desk.settings.answerAgainMinutes = 10;
    desk.Open(1, L"bob");
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(1, L"bob", L"one");
    EXPECT_EQ(desk.AnsweredIn(1 * kMinute), Ids{1});
    desk.Say(1, L"bob", L"two");
    EXPECT_EQ(desk.AnsweredIn(9 * kMinute), Ids{}) << "within the interval";
    // The interval has passed, but the last line was already looked at: never twice.
    EXPECT_EQ(desk.AnsweredIn(12 * kMinute), Ids{});
    desk.Say(1, L"bob", L"three");
    EXPECT_EQ(desk.AnsweredIn(13 * kMinute), Ids{1});
    desk.Say(1, L"bob", L"four");
    EXPECT_EQ(desk.AnsweredIn(22 * kMinute), Ids{});
    desk.Say(1, L"bob", L"five");
    EXPECT_EQ(desk.AnsweredIn(23 * kMinute), Ids{1});
}

TEST(ConversationTracker, OnlyWhenAwayFromTheKeyboardForTheChosenTime) {
    Desk desk;
    desk.settings.idleMinutes = 5;
    desk.Open(1, L"bob");
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(1, L"bob", L"there?");
    EXPECT_EQ(desk.AnsweredIn(1100, 4 * kMinute), Ids{});
    // The user was at the keyboard when the line came: it is not answered later either.
    EXPECT_EQ(desk.AnsweredIn(2200, 6 * kMinute), Ids{});
    desk.Say(1, L"bob", L"hello?");
    EXPECT_EQ(desk.AnsweredIn(3300, 6 * kMinute), Ids{1});
}

TEST(ConversationTracker, TheFirstMatchingRuleAnswersAndEveryoneElseTakesTheRest) {
    Desk desk;
    desk.settings = Rules({{L"bob", L"hi bob, %n"}, {L"bob, carol", L"hi you two"}}, true, L"hi stranger");
    desk.Open(1, L"bob");
    desk.Open(2, L"carol");
    desk.Open(3, L"dave");
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(1, L"Bob", L"1");
    desk.Say(2, L"carol", L"2");
    desk.Say(3, L"dave", L"3");
    const std::vector<ConversationAnswer> answers = desk.Tick(1100);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].reply, L"hi bob, %n") << "placeholders are filled as it sends";
    EXPECT_EQ(answers[0].buddy, L"Bob");
    EXPECT_EQ(answers[0].row, 0u);
    EXPECT_EQ(answers[1].reply, L"hi you two");
    EXPECT_EQ(answers[2].reply, L"hi stranger");
    EXPECT_EQ(answers[2].row, 2u);
}

TEST(ConversationTracker, ALineFakedInAnotherBuddysNameGetsNoReply) {
    Desk desk;
    desk.settings = Rules({{L"pal42", L"secret for pal42"}});
    desk.Open(1, L"eve");
    desk.Open(2, L"pal42");
    desk.SwitchOn();
    desk.AnsweredIn(0);
    // eve types a line that reads as pal42's.
    desk.Say(1, L"eve", L"<BR><B>pal42</B>: hi");
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{});
    // pal42 in his own window, as the title names him in any case and spacing.
    desk.Close(2);
    desk.OpenTitled(3, L"Pal 42 - Instant Message");
    desk.Say(3, L"pal42", L"hi");
    EXPECT_EQ(desk.AnsweredIn(2200), Ids{3});

    // Under a title of another form the line's sender is all there is, and that is said.
    desk.OpenTitled(4, L"pal42 chat");
    desk.Say(4, L"eve", L"<BR><B>pal42</B>: hi");
    const std::vector<ConversationAnswer> answers = desk.Tick(3300);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].senderChecked);
}

TEST(ConversationTracker, AWindowThatDoesNotAnswerKeepsItsStateAndIsNotForgotten) {
    Desk desk;
    desk.Open(1, L"bob");
    desk.Open(2, L"pal42");
    desk.Say(1, L"bob", L"read by the user");
    desk.Hang(1, true);
    desk.SwitchOn();
    desk.AnsweredIn(0);
    desk.Say(2, L"pal42", L"hi");
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{2}) << "the others are answered";
    // Back again: its line was there when the switch went on.
    desk.Hang(1, false);
    EXPECT_EQ(desk.AnsweredIn(2200), Ids{});
    desk.Say(1, L"bob", L"now?");
    EXPECT_EQ(desk.AnsweredIn(3300), Ids{1});
    // Hung after its answer, it is still the same conversation when it comes back.
    desk.Hang(1, true);
    desk.AnsweredIn(4400);
    desk.Hang(1, false);
    desk.Say(1, L"bob", L"again");
    EXPECT_EQ(desk.AnsweredIn(5500), Ids{});
}

TEST(ConversationTracker, AnAnswerThatReachedNoWindowIsDecidedAgainAtTheNextTick) {
    ConversationTracker tracker;
    AutoReplySettings settings = Rules({{L"bob", L"brb"}});
    const std::wstring markup = L"<B>bob</B>: hi";
    const ConversationReading reading = ReadingOf(4, L"bob - Instant Message", markup);
    ConversationReading unread = reading;
    unread.textRead = false;
    unread.message.clear();
    unread.sender.clear();
    tracker.SwitchOn(std::vector<ConversationReading>{});
    ASSERT_EQ(tracker.Tick(std::vector{reading}, settings, {1, 0}).size(), 1u);
    tracker.NotSent(4);
    // Nothing changed in the window, but its line is read and answered again, once.
    EXPECT_TRUE(tracker.NeedsText(4, markup.size()));
    ASSERT_EQ(tracker.Tick(std::vector{reading}, settings, {2, 0}).size(), 1u);
    tracker.Sent(4, L"brb", std::nullopt);
    EXPECT_FALSE(tracker.NeedsText(4, markup.size()));
    EXPECT_TRUE(tracker.Tick(std::vector{unread}, settings, {3, 0}).empty());
}

TEST(ConversationTracker, WhatTheWindowsShowAtTheSwitchIsReadAndWhatComesRightAfterIsNew) {
    Desk desk;
    desk.Open(1, L"pal42");
    desk.Say(1, L"pal42", L"read before switching on");
    desk.SwitchOn();
    // Before the window's first tick: a line in a window that was there, and a new window.
    desk.Say(1, L"pal42", L"are you there?");
    desk.Open(2, L"bob");
    desk.Say(2, L"bob", L"hey");
    EXPECT_EQ(desk.AnsweredIn(1100), (Ids{1, 2}));
    EXPECT_EQ(desk.AnsweredIn(2200), Ids{});

    // Switched off and on again: the picture is taken afresh.
    desk.Say(1, L"pal42", L"read while off");
    desk.SwitchOn();
    EXPECT_EQ(desk.AnsweredIn(3300), Ids{}) << "its line was there at the switch";
    // A tracker never switched on takes nothing it has not seen before as new.
    Desk fresh;
    fresh.Open(1, L"pal42");
    fresh.Say(1, L"pal42", L"old");
    EXPECT_EQ(fresh.AnsweredIn(0), Ids{});
    fresh.Say(1, L"pal42", L"new");
    EXPECT_EQ(fresh.AnsweredIn(1100), Ids{1});
}

TEST(ConversationTracker, AMessageOfSeveralLinesIsTheSendersAndAColonInsideItStartsNone) {
    Desk desk;
    desk.Open(1, L"pal42");
    desk.Open(2, L"bob");
    desk.Open(3, L"carol");
    desk.SwitchOn();
    desk.Say(1, L"pal42", L"hi\r\nare you there?");
    desk.Say(2, L"bob", L"hi\r\nnote: call me");
    desk.Say(3, L"carol", L"one\r\ntwo: 2\r\nthree\r\nfour: at 12:30\r\nfive");
    const std::vector<ConversationAnswer> answers = desk.Tick(1100);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0].buddy, L"pal42");
    EXPECT_EQ(answers[1].buddy, L"bob");
    EXPECT_EQ(answers[2].buddy, L"carol");
    for (const ConversationAnswer& answer : answers) EXPECT_TRUE(answer.senderChecked);
}

TEST(ConversationTracker, ATitleWithASuffixStillChecksTheSender) {
    Desk desk;
    desk.settings = Rules({{L"pal42", L"for pal42"}}, true, L"for anyone");
    desk.OpenTitled(1, L"mallory - Instant Message (typing)");
    desk.OpenTitled(2, L"pal42 - Instant Message (typing)");
    desk.SwitchOn();
    // mallory's line, then one that reads as pal42's, in mallory's window.
    desk.Say(1, L"mallory", L"x<BR><B>pal42</B>: hi");
    desk.Say(2, L"Pal 42", L"hi");
    const std::vector<ConversationAnswer> answers = desk.Tick(1100);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].id, 2u);
    EXPECT_EQ(answers[0].reply, L"for pal42");
    EXPECT_TRUE(answers[0].senderChecked);
}

TEST(ConversationTracker, TheUsersOwnNamesAreNeverAnsweredAndAnUncheckedSenderOnlyByItsRow) {
    Desk desk;
    desk.settings = Rules({{L"pal42, me99", L"for pal42"}}, true, L"for anyone");
    desk.tracker.KnowOwnNames({L"Me 99"}, 0);
    desk.OpenTitled(1, L"pal42 - IM");
    desk.OpenTitled(2, L"carol - IM");
    desk.Open(3, L"me99");  // the user's window with their own other name
    desk.SwitchOn();
    EXPECT_TRUE(desk.tracker.OwnNamesDue(0)) << "read again at the switch";
    desk.tracker.KnowOwnNames({L"Me 99"}, 0);
    EXPECT_FALSE(desk.tracker.OwnNamesDue(kOwnNamesRereadMs - 1));
    desk.Say(1, L"me99", L"brb");
    desk.Say(2, L"carol", L"hi");
    desk.Say(3, L"me99", L"note to self");
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{}) << "the user's own lines, and carol for whom no row speaks";

    desk.Say(1, L"pal42", L"hi");
    const std::vector<ConversationAnswer> answers = desk.Tick(2200);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].id, 1u);
    EXPECT_FALSE(answers[0].senderChecked);
}

TEST(ConversationTracker, AnEmptyReplySendsNothingAndUsesNothingUp) {
    Desk desk;
    desk.settings = Rules({{L"bob", L""}, {L"carol", L" \r\n "}}, true, L"");
    desk.Open(1, L"bob");
    desk.Open(2, L"carol");
    desk.Open(3, L"dave");
    desk.SwitchOn();
    desk.Say(1, L"bob", L"hi");
    desk.Say(2, L"carol", L"hi");
    desk.Say(3, L"dave", L"hi");
    EXPECT_EQ(desk.AnsweredIn(1100), Ids{});
    // The replies written, the next lines are answered: nothing was counted before.
    desk.settings = Rules({{L"bob", L"brb"}, {L"carol", L"brb"}}, true, L"brb");
    desk.Say(1, L"bob", L"there?");
    desk.Say(2, L"carol", L"there?");
    desk.Say(3, L"dave", L"there?");
    EXPECT_EQ(desk.AnsweredIn(2200), (Ids{1, 2, 3}));
}

TEST(ConversationTracker, AConversationTheUserIsTypingInIsAnsweredOnceTheyPause) {
    Desk desk;
    desk.Open(1, L"pal42");
    desk.Open(2, L"bob");
    desk.foreground = 1;
    desk.SwitchOn();
    desk.Say(1, L"pal42", L"hi");
    desk.Say(2, L"bob", L"hi");
    EXPECT_EQ(desk.AnsweredIn(1100, 200), Ids{2}) << "only the window the user types in waits";
    EXPECT_EQ(desk.AnsweredIn(2200, kTypingPauseMs - 1), Ids{});
    EXPECT_EQ(desk.AnsweredIn(3300, kTypingPauseMs), Ids{1});
    EXPECT_EQ(desk.AnsweredIn(4400, 60'000), Ids{}) << "once";

    // While waiting, the user answers the buddy themselves: nothing more is sent.
    desk.Open(3, L"carol");
    desk.foreground = 3;
    desk.Say(3, L"carol", L"hi");
    EXPECT_EQ(desk.AnsweredIn(5500, 100), Ids{});
    desk.Say(3, desk.me, L"yes, here");
    EXPECT_EQ(desk.AnsweredIn(6600, 60'000), Ids{});
}

// Two copies of Velmora, each answering the other's user: alice's Velmora in her window with
// bob, bob's in his window with alice; each line sent in one shows up in the other.
TEST(ConversationTracker, TwoCopiesAnsweringEachOtherStopAfterOneReplyEach) {
    Desk alice;
    Desk bob;
    alice.me = L"alice";
    bob.me = L"bob";
    alice.settings = Rules({}, true, L"alice is away");
    bob.settings = Rules({}, true, L"bob is away");
    alice.Open(1, L"bob");
    bob.Open(1, L"alice");
    alice.SwitchOn();
    bob.SwitchOn();
    alice.AnsweredIn(0);
    bob.AnsweredIn(0);
    alice.Say(1, L"bob", L"hi alice");  // bob typed it himself
    int aliceReplies = 0;
    int bobReplies = 0;
    for (std::uint64_t t = 1100; t < 40 * 1100; t += 1100) {
        for (const ConversationAnswer& answer : alice.Tick(t)) {
            ++aliceReplies;
            bob.Say(1, L"alice", answer.reply);
        }
        for (const ConversationAnswer& answer : bob.Tick(t)) {
            ++bobReplies;
            alice.Say(1, L"bob", answer.reply);
        }
    }
    EXPECT_EQ(aliceReplies, 1);
    EXPECT_EQ(bobReplies, 1);
}

TEST(ConversationTracker, BadInputStaysBounded) {
    Desk desk;
    std::wstring manyNames;
    for (int i = 0; i < 10000; ++i) manyNames += L"buddy" + std::to_wstring(i) + L", ";
    desk.settings = Rules({{manyNames, std::wstring(100 * 1024, L'r')}});
    for (ConversationId id = 1; id <= 200; ++id) desk.Open(id, L"buddy" + std::to_wstring(id * 7));
    desk.SwitchOn();
    desk.AnsweredIn(0);
    EXPECT_EQ(desk.tracker.KnownConversations(), 200u);
    // A megabyte of conversation before the new line.
    desk.Say(5, L"buddy35", std::wstring(1 << 20, L'x'));
    desk.Say(9, L"buddy63", L"hi");
    const std::vector<ConversationAnswer> answers = desk.Tick(1100);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].reply.size(), 100u * 1024);
    EXPECT_EQ(desk.AnsweredIn(2200), Ids{});
    // A name beyond the list, and an empty conversation, answer nobody.
    desk.Say(7, L"stranger", L"hi");
    EXPECT_EQ(desk.AnsweredIn(3300), Ids{});
}

// ---------------------------------------------------------------------------
// Kept in Msg.ini.

// The file's bytes as text, one byte a character: enough for the ASCII these tests write.
const FileCodePage kLatin1{[](std::wstring_view text) { return std::string(text.begin(), text.end()); },
                           [](std::string_view bytes) {
                               std::wstring text;
                               for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
                               return text;
                           }};

TEST(AutoReplySettingsFile, EveryCharacterComesBackAndGeneralStaysByteForByte) {
    AutoReplySettings settings;
    settings.rules = {
        {L"  pal42\tbob  ", L" back at 5 \r\n\"quoted\" 'single' \\ %n %d %t = [General]\r\n"},
        {L"Ren\u00E9e \u4E2D\u6587", std::wstring(100 * 1024, L'r') + L"\r\nend"},
        {L"", L""},
    };
    settings.everyoneElse = true;
    settings.everyoneElseReply = L"\r\n;not a comment\r\n\x01";
    settings.answerAgainMinutes = 30;
    settings.idleMinutes = 10;
    settings.on = true;

    const std::string before = "; mine\r\n[General]\r\nMsg=lunch\r\n\r\n[Other]\r\nKey=kept as it is\r\n";
    const std::string written = WriteAutoReplySettingsInto(before, settings);
    EXPECT_EQ(ReadAutoReplySettings(written), settings);
    // Every line of the file but the new section's stays as it was.
    EXPECT_EQ(written.substr(0, before.size()), before);
    EXPECT_EQ(written.find("[AutoReply]\r\n"), before.size());
    EXPECT_EQ(LoadSavedMessage(written, kLatin1), L"lunch");
    // A long reply goes in parts no longer than a profile value.
    EXPECT_NE(written.find("\r\nRule2Reply4="), std::string::npos);
    for (std::size_t start = 0, end; start < written.size(); start = end + 2) {
        end = written.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, kMaxProfileValue + 32);
    }

    // Saved again, the section is replaced, not added; and the message saved after it leaves it.
    AutoReplySettings fewer = settings;
    fewer.rules.resize(1);
    fewer.on = false;
    const std::string again = WriteAutoReplySettingsInto(written, fewer);
    EXPECT_EQ(ReadAutoReplySettings(again), fewer);
    EXPECT_EQ(again.find("Rule2"), std::string::npos) << "no row of the longer list is left";
    EXPECT_EQ(WriteAutoReplySettingsInto(again, fewer), again);
    const std::string withMessage = SaveMessageInto(again, L"dinner\r\nat 8", kLatin1);
    EXPECT_EQ(ReadAutoReplySettings(withMessage), fewer);
    EXPECT_EQ(LoadSavedMessage(withMessage, kLatin1), L"dinner\r\nat 8");
}

TEST(AutoReplySettingsFile, AUtf16FileStaysUtf16AndKeepsItsOtherLines) {
    const std::wstring text = L"[General]\r\nMsg=\u041f\u0440\u0438\r\n";
    std::string file = "\xFF\xFE";
    for (wchar_t c : text) {
        file += static_cast<char>(c & 0xFF);
        file += static_cast<char>((c >> 8) & 0xFF);
    }
    AutoReplySettings settings;
    settings.rules = {{L"pal42", L"brb"}};
    settings.on = true;
    const std::string written = WriteAutoReplySettingsInto(file, settings);
    EXPECT_EQ(written.substr(0, file.size()), file) << "the mark and the lines before, as they were";
    EXPECT_EQ(written.size() % 2, 0u);
    EXPECT_EQ(ReadAutoReplySettings(written), settings);
}

TEST(AutoReplySettingsFile, AnOlderFileStartsWithOneEmptyRowSwitchedOff) {
    for (const std::string& file : {std::string(), std::string("[General]\r\nMsg=hi\r\n"),
                                    std::string("[AutoReply]\r\n"), std::string("[autoreply]\r\nRules=0\r\n")}) {
        const AutoReplySettings read = ReadAutoReplySettings(file);
        EXPECT_EQ(read, AutoReplySettings{}) << file;
        EXPECT_EQ(read.rules.size(), 1u);
        EXPECT_FALSE(read.on);
        EXPECT_FALSE(read.everyoneElse);
    }
}

TEST(AutoReplySettingsFile, ValuesOutsideTheChoicesReadAsTheDefaults) {
    const AutoReplySettings read = ReadAutoReplySettings(
        "[AutoReply]\r\nSwitch=maybe\r\nAnswerAgain=15\r\nIdle=-5\r\nEveryoneElse=yes\r\nRules=99999999\r\n");
    EXPECT_FALSE(read.on);
    EXPECT_EQ(read.answerAgainMinutes, 0);
    EXPECT_EQ(read.idleMinutes, 0);
    EXPECT_FALSE(read.everyoneElse);
    EXPECT_EQ(read.rules.size(), 1u) << "a count that is no number of rows";
    EXPECT_TRUE(ReadAutoReplySettings("[AutoReply]\r\nSwitch=on\r\n").on);
}

}  // namespace
}  // namespace velmora
