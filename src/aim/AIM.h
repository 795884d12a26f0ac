#pragma once
// Reading and driving the AIM client's instant-message window from outside, with window-class
// lookups and window messages only. Nothing is kept between calls: every call looks the
// windows up afresh, and a missing window (handle 0) is passed on, so its messages reach
// nobody and the readers come back empty.
//
// The client is another program and may hang. Every message to it goes through the courier
// (misc/Courier.h) and waits a bounded time (kImAnswerBoundMs); a call whose message was not
// answered in time gives up on the rest and says so, and nothing is retried, except that a reply
// already written may be finished (SendImReply). Callable from any thread.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "aim/ImText.h"

// The window system's window handle, as windows.h declares it, so this header needs no windows.h.
struct HWND__;

namespace velmora {

// An IM window: the AIM client's top-level "aim_imessage" window of one conversation.
using ImWindow = HWND__*;

// The longest Velmora waits for the AIM client to answer one message.
inline constexpr unsigned kImAnswerBoundMs = 1000;

// Whether the AIM client answered every message of a call in time, and sensibly. Messages to
// a window that is not there are not waited for, so they count as answered. Its answers are
// not trusted: a text length below zero or beyond kMaxForeignTextLength is nonsense.
enum class ImAnswer { InTime, TimedOut, Nonsense };

struct ImReading {
    ImAnswer answer = ImAnswer::InTime;
    std::wstring text;  // empty when the client did not answer in time, or answered nonsense

    bool TimedOut() const noexcept { return answer == ImAnswer::TimedOut; }
    bool Failed() const noexcept { return answer != ImAnswer::InTime; }
};

// The client's IM windows as the window system lists them, the first being the one
// FirstImWindow finds. Not waited for: the list comes from the window system, not the client.
std::vector<ImWindow> ImWindows();
ImWindow FirstImWindow();
// The window's title, as the window system keeps it (no message to the client, so no wait).
std::wstring ImWindowTitle(ImWindow im);

// The length of the conversation pane's text, asked first, so that a conversation is read only
// when it has changed. 0 with no window.
struct ImLength {
    ImAnswer answer = ImAnswer::InTime;
    std::size_t length = 0;
};
ImLength ConversationLengthOf(ImWindow im);
// The conversation pane's whole markup.
ImReading ConversationOf(ImWindow im);

// The functions below work on the IM window given; the ones without a window take the first.

// Puts the text into the IM window's entry pane (the second "wndate32class" pane) and presses
// the Send button (the first "_oscar_iconbtn"), as the user would. Every character arrives:
// the client's ANSI entry holds HTML, so there the text goes as HTML text, "&", "<" and ">" as
// entities and the characters the code page lacks as decimal references (aim/EntryText.h);
// a Unicode entry (IsWindowUnicode) gets the text itself. CR LF goes as it is. What the user
// was typing in the entry is read first, in the form the entry holds it, and put back exactly
// after the press, so a draft is never lost. Stops at the first message the client leaves
// unanswered, and sends nothing when the draft cannot be read.
// reachedClient, when given, tells whether anything may have reached the client: false when it
// stopped before the text was written (the draft could not be read, or the client had not yet
// answered an earlier message), so nothing of the reply went out and it may be tried again.
ImAnswer SendImTextTo(ImWindow im, std::wstring_view text, bool* reachedClient = nullptr);
ImAnswer SendImText(std::wstring_view text);

// The longest a reply already written waits on for the client (see SendImReply): a client that
// holds one message longer is taken as hung for good.
inline constexpr unsigned kMostFinishWaitMs = 60000;

// How long a reply may wait on the client. Bounded: each message at most kImAnswerBoundMs, as
// SendImTextTo (for a caller that must not wait). FinishWhatWasWritten: once the reply's text
// has gone to the client, every further message of it (the Send press, the draft put back) is
// waited for however long the client takes (up to kMostFinishWaitMs), so a slow client never
// keeps the user's draft; for a worker thread only.
enum class ImReplyPatience { Bounded, FinishWhatWasWritten };

enum class ImReplyOutcome {
    Sent,
    SentSlowly,    // sent, but the client took longer than kImAnswerBoundMs over it
    WindowClosed,  // not sent: the IM window was closed (before or while it was written)
    ClientBusy,    // not sent: the client did not answer (busy, hung, or still on an earlier message)
    Withdrawn,     // not sent: withdrawn by the caller before the Send press
};
enum class ImDraftOutcome { NoDraft, PutBack, NotPutBack };

struct ImReplyReport {
    ImAnswer answer = ImAnswer::InTime;  // as SendImTextTo answers
    ImReplyOutcome outcome = ImReplyOutcome::ClientBusy;
    ImDraftOutcome draft = ImDraftOutcome::NoDraft;
    bool reachedClient = false;  // as SendImTextTo's reachedClient
    bool slow = false;           // some message of it took longer than kImAnswerBoundMs
    // The reply as the conversation will show it: the HTML the entry was given, or for a Unicode
    // entry the HTML the client makes of it. Empty when nothing was written.
    std::wstring written;

    bool Sent() const noexcept { return outcome == ImReplyOutcome::Sent || outcome == ImReplyOutcome::SentSlowly; }
};

// SendImTextTo with its outcome told in full. `withdrawn`, when given and set by another thread,
// keeps the reply from going out if the Send press has not begun: a reply already written is
// taken out again and the draft put back.
ImReplyReport SendImReply(ImWindow im, std::wstring_view text, ImReplyPatience patience,
                          const std::atomic<bool>* withdrawn = nullptr);

// The last line of the conversation pane (the first "wndate32class" pane) in plain text,
// beginning with the LF of the line break before it (LastImLineOf).
ImReading ReadLastImLineOf(ImWindow im);
ImReading ReadLastImLine();

// The sender's name on the conversation's last line, from one reading of the pane
// (SenderOfConversation); empty when the line names nobody or there is no IM window.
ImReading LastImSenderOf(ImWindow im);
ImReading LastImSender();

}  // namespace velmora
