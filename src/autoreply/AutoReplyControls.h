#pragma once
// Control ids of the window "Auto Reply". Tests drive the window through these ids, as a
// user's clicks and typing would.
namespace velmora::AutoReplyIds {

enum : int {
    // In Tab order.
    Rules = 701,   // the rows: names and the reply's first words; "Everyone else" last
    Add,           // "Add": a new empty row
    Remove,        // "Remove": the chosen row
    EveryoneElse,  // the "Everyone else" row's tick
    Names,         // the chosen row's names
    Reply,         // the chosen row's reply
    AnswerAgain,   // "Answer again after": never, 10, 30 or 60 minutes
    Idle,          // "Only when I am away from the keyboard": always, 5, 10 or 30 minutes
    Switch,        // "Off" / "On"
    Log,           // one row per reply sent, newest first
    // Labels.
    RulesCaption = 721,
    NamesCaption,
    ReplyCaption,
    AnswerAgainCaption,
    IdleCaption,
    LogCaption,
};

// The watch clock, and the wait after typing before the rules are saved.
enum : int {
    TickTimer = 1,
    TickIntervalMs = 1100,
    SaveTimer = 2,
    SaveDelayMs = 700,
};

// A registered window message that the window answers with how many ticks of the watch have run
// to their end, so a test in another process waits for ticks rather than for a guessed time.
inline constexpr wchar_t kTicksDoneQueryName[] = L"VelmoraAutoReplyTicksDone";

}  // namespace velmora::AutoReplyIds
