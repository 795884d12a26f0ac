// Stored Messages and Load in the real velmora.exe when the IM client's store holds what no
// composer wrote: huge attributes, huge values, deep nesting. Velmora keeps answering the
// window system, says plainly what it did not load, and never dies.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "storage/Reg.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::WaitUntil;

// A window that has not answered in this long is hung, not slow: the faults these cases catch
// held the window for minutes. (How long a load takes is printed, not judged.)
constexpr UINT kHungAfterMs = 15000;

// Whether a window of another process answers a message within the bound, and how long it took.
bool Answers(HWND window, double* seconds = nullptr) {
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kHungAfterMs, &result) != 0;
    QueryPerformanceCounter(&end);
    if (seconds)
        *seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return answered;
}

// A document as the IM client itself writes one, every attribute with its blank.
std::wstring ForeignDocument(const std::wstring& colour, const std::wstring& text) {
    return L"<HTML><BODY BGCOLOR=\"#ffffff\"><FONT COLOR=\"#" + colour + L"\" FACE=\"Arial\" SIZE=2>" + text +
           L"</FONT></BODY></HTML>";
}

class StoredHostileE2E : public ::testing::Test {
protected:
    void SetUp() override { velmora_.Type(Text5, screenName_); }
    void TearDown() override {
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + screenName_);
        if (velmora_.IsRunning()) {
            EXPECT_TRUE(Answers(velmora_.MainWindow())) << "Velmora hangs at the end";
        }
    }

    // Written with the wide call, exactly as given, as another program would.
    void Put(const std::wstring& valueName, const std::wstring& text) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName_).c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // The value's text as the wide call reads it.
    std::wstring Stored(const std::wstring& valueName) const {
        DWORD bytes = 0;
        const std::wstring key = AwayKeyPath(screenName_);
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes))
            return L"(no value)";
        std::wstring text(bytes / sizeof(wchar_t), L'\0');
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        return text.substr(0, text.find(L'\0'));
    }

    // Opens Stored Messages at the test's screen name; true once it lists `rows` messages.
    bool OpenStored(LRESULT rows) {
        velmora_.ChooseMenu(MenuStored);
        stored_ = velmora_.WaitForWindowTitled(L"Stored Messages");
        return stored_ && WaitUntil([&] { return Answers(stored_) && RowCount() == rows; });
    }
    HWND Part(int id) const { return GetDlgItem(stored_, id); }
    LRESULT RowCount() const {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(Part(StoredIds::Messages), LB_GETCOUNT, 0, 0, SMTO_NORMAL, kHungAfterMs, &count);
        return static_cast<LRESULT>(count);
    }
    // A row chosen as a click on it would; false when showing it held the window. The seconds
    // it took are printed.
    bool Choose(int row) const {
        LARGE_INTEGER frequency{}, start{}, end{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutW(Part(StoredIds::Messages), LB_SETCURSEL, static_cast<WPARAM>(row), 0,
                                                  SMTO_NORMAL, kHungAfterMs, &result) &&
                              SendMessageTimeoutW(stored_, WM_COMMAND, MAKEWPARAM(StoredIds::Messages, LBN_SELCHANGE),
                                                  reinterpret_cast<LPARAM>(Part(StoredIds::Messages)), SMTO_NORMAL,
                                                  kHungAfterMs, &result);
        QueryPerformanceCounter(&end);
        std::printf("Row %d shown after %.2f s\n", row,
                    static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        return answered;
    }
    // Load pressed without waiting; the seconds until it has loaded (the message box's text
    // changed) or said why not (a message box opened), with the window answering meanwhile.
    double PressLoad() const {
        const LRESULT before = MessageLength();
        LARGE_INTEGER frequency{}, start{}, now{};
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        PostMessageW(Part(StoredIds::Load), BM_CLICK, 0, 0);
        for (;;) {
            const bool told = testing::VisibleDialogOfProcess(velmora_.ProcessId()) != nullptr;
            const LRESULT length = told ? before : MessageLength();
            QueryPerformanceCounter(&now);
            const double seconds =
                static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
            if (told || (length >= 0 && length != before)) return seconds;
            if (length < 0 || seconds * 1000 > kHungAfterMs) {
                ADD_FAILURE() << "Load held the window";
                return seconds;
            }
            Sleep(10);
        }
    }
    // The length of the main window's message, or -1 when it does not answer.
    LRESULT MessageLength() const {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(velmora_.Control(Text2_0), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kHungAfterMs, &length))
            return -1;
        return static_cast<LRESULT>(length);
    }
    // The message box Load opened (nullptr when none did), its text read and OK pressed.
    std::wstring AnswerTheBox() const {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = testing::VisibleDialogOfProcess(velmora_.ProcessId())) != nullptr; }, 5000))
            return L"(no box)";
        const std::wstring told = testing::MessageBoxText(box);
        testing::PressMessageBoxButton(box, IDOK);
        return told;
    }
    // The composer's fields; a long one by its start and length.
    std::vector<std::wstring> Composer() const {
        std::vector<std::wstring> fields;
        for (int id : {Text1, Text6, Text7, Combo1, Combo2, Text2_0}) {
            const std::wstring text = velmora_.Text(id);
            fields.push_back(text.size() <= 40 ? text
                                               : text.substr(0, 40) + L"... (" + std::to_wstring(text.size()) + L")");
        }
        return fields;
    }

    testing::TempFolder folder_;
    std::wstring screenName_ = testing::UniqueScreenName(L"hostile");
    testing::VelmoraProcess velmora_{folder_.Path()};
    HWND stored_ = nullptr;
};

TEST_F(StoredHostileE2E, AHundredKilobyteFontColourTagIsRefusedInPlainWordsAndTheOwnColourBoxLoads) {
    const std::wstring colour(100 * 1024, L'A');
    Put(L"GoneMsg1", ForeignDocument(colour, L"Back soon"));
    // Velmora's own shape with the same colour box.
    velmora_.Type(Text6, colour);
    velmora_.Type(Text2_0, L"Back later");
    velmora_.Choose(Combo2, 1);
    velmora_.Click(Command5);
    velmora_.Type(Text6, L"000080");
    velmora_.Type(Text2_0, L"Typed since");
    const std::wstring document = Stored(L"GoneMsg1");
    ASSERT_TRUE(OpenStored(2));

    ASSERT_TRUE(Choose(1));
    const double own = PressLoad();
    std::printf("Own 100 KB colour box: Load answered after %.2f s\n", own);
    EXPECT_TRUE(velmora_.Text(Text6) == colour);
    EXPECT_EQ(velmora_.Text(Text2_0), L"Back later");

    velmora_.Type(Text6, L"000080");
    const std::vector<std::wstring> before = Composer();
    ASSERT_TRUE(Choose(0));
    const double foreign = PressLoad();
    std::printf("Foreign 100 KB FONT COLOR: Load answered after %.2f s\n", foreign);
    // The tag stands in the message of a foreign document.
    const std::wstring told = AnswerTheBox();
    EXPECT_NE(told.find(L"'GoneMsg1' (slot 1) was not loaded: its message is 102,"), std::wstring::npos) << told;
    EXPECT_NE(told.find(L"The stored message stays as it is."), std::wstring::npos) << told;
    EXPECT_EQ(Composer(), before);
    EXPECT_EQ(Stored(L"GoneMsg1"), document);
}

TEST_F(StoredHostileE2E, HugeValuesAreShownAndRefusedByLoadInPlainWords) {
    // A megabyte of short lines, four megabytes in one word, and four of words in one line.
    std::wstring lines, words;
    while (lines.size() < (1u << 20)) lines += L"All work and no play makes a dull away message.\r\n";
    while (words.size() < (4u << 20)) words += L"All work and no play makes a dull away message. ";
    const std::wstring run(4u << 20, L'z');
    Put(L"GoneMsg1", lines);
    Put(L"GoneMsg2", run);
    Put(L"GoneMsg3", words);
    ASSERT_TRUE(OpenStored(3));
    const std::vector<std::wstring> before = Composer();
    for (int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(Choose(row)) << "showing it held the window";
        std::printf("Row %d: Load answered after %.2f s\n", row, PressLoad());
        const std::wstring told = AnswerTheBox();
        EXPECT_NE(told.find(row == 0 ? L"its message is 1,048," : L"its message is 4,194,"), std::wstring::npos)
            << told;
        EXPECT_EQ(Composer(), before);
    }
    EXPECT_EQ(Stored(L"GoneMsg1"), lines);
    EXPECT_EQ(Stored(L"GoneMsg2").size(), run.size());
}

TEST_F(StoredHostileE2E, AMegabyteOfNestedTagsIsShownAndLoadedAgainAndAgainWithoutACrash) {
    // Tags never closed with words between them, and tags alone, each a megabyte deep.
    std::wstring words, tags;
    while (words.size() < (1u << 20)) words += L"<FONT SIZE=3 COLOR=\"#800000\"><B><I><U>deep ";
    while (tags.size() < (1u << 20)) tags += L"<b><i><u><font color=red><p><blockquote>";
    Put(L"GoneMsg1", L"<HTML><BODY>" + words + L"</BODY></HTML>");
    Put(L"GoneMsg2", tags);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(OpenStored(2));
        for (int row : {0, 1}) {
            EXPECT_TRUE(Choose(row));
            std::printf("Round %d, row %d: Load answered after %.2f s\n", round, row, PressLoad());
            ASSERT_FALSE(HasFailure());
            EXPECT_NE(AnswerTheBox().find(L"not loaded"), std::wstring::npos);
        }
        testing::CloseWithCloseBox(stored_);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(stored_); }));
        ASSERT_TRUE(velmora_.IsRunning()) << "exit code " << velmora_.ExitCode();
        EXPECT_TRUE(Answers(velmora_.MainWindow()));
    }
}

}  // namespace
}  // namespace velmora
