// Stored messages moved byte for byte between screen names and through registry files, against
// Wine's real registry and Wine's own reg.exe and regedit.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "misc/Handles.h"
#include "storage/Reg.h"
#include "storage/RegValues.h"
#include "support/TestSupport.h"
#include "travel/TravelStore.h"

namespace velmora {
namespace {

using testing::ReadRegistryValue;

std::string Bytes(const void* data, std::size_t size) { return std::string(static_cast<const char*>(data), size); }

class TravelStoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::wstring& name : made_)
            testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    }
    std::wstring Name(const wchar_t* stem) {
        made_.push_back(testing::UniqueScreenName(stem));
        return made_.back();
    }
    // Written exactly, with units that are not NUL after the data (the system would count one
    // more NUL where it finds one right after text that lacks it).
    static void Put(const std::wstring& screenName, const std::wstring& valueName, DWORD type, std::string data) {
        const auto size = static_cast<DWORD>(data.size());
        data.append(4, '\x01');
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(
            RegSetValueExW(key.get(), valueName.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), size),
            ERROR_SUCCESS);
    }
    // The value's type and bytes as the registry holds them (the wide call converts nothing);
    // "none" when it is not there.
    static std::string Held(const std::wstring& screenName, const std::wstring& valueName) {
        UniqueHkey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, KEY_QUERY_VALUE, key.put()))
            return "none";
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size)) return "none";
        std::string data(size, '\0');
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        return std::to_string(type) + ":" + data.substr(0, size);
    }
    static std::string Sz(const std::string& data) { return std::to_string(REG_SZ) + ":" + data; }

    // Messages a user may hold: plain text, line breaks, characters outside the code page as
    // references, and values the client's own writing never makes but the store may hold.
    static std::vector<std::pair<std::wstring, std::string>> Samples() {
        std::string everyByte;
        for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
        return {{L"GoneMsg1", TextData(L"<HTML><BODY BGCOLOR=\"#ffffff\">Out to lunch \\ back at 2</BODY></HTML>")},
                {L"GoneMsg2", TextData(L"line one\r\nline two\r\n")},
                {L"GoneMsg3", TextData(L"caf\u00e9 &#8364; &#128512;")},
                {L"GoneMsg4", everyByte},
                {L"GoneMsg5", Bytes(L"no NUL", 12)},
                {L"GoneMsg7", TextData(L"\u4e2d\U0001F600 stored by another program")},
                {L"GoneMsg12b", TextData(std::wstring(3000, L'x'))}};
    }
    void PutSamples(const std::wstring& screenName) {
        for (const auto& [valueName, data] : Samples()) Put(screenName, valueName, REG_SZ, data);
    }
    enum class Way {
        Exact,
        // The system's import stores through the same call that counts a NUL after unterminated
        // text: those two samples come back with one more NUL, their text the same.
        SystemImport,
        // Wine's export writes every text value quoted, up to its first NUL: the values the
        // client writes (text and one NUL) come back exactly.
        WineExport,
    };
    void ExpectSamples(const std::wstring& screenName, Way way = Way::Exact) {
        for (const auto& [valueName, data] : Samples()) {
            const bool unterminated = valueName == L"GoneMsg4" || valueName == L"GoneMsg5";
            if (way == Way::WineExport && unterminated) continue;
            const std::string expected = way == Way::SystemImport && unterminated ? data + std::string(2, '\0') : data;
            EXPECT_EQ(Held(screenName, valueName), Sz(expected));
        }
    }
    // Runs one of Wine's own programs and waits for it to end; its exit code.
    static DWORD Run(const std::wstring& commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring line = commandLine;
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return GetLastError();
        UniqueKernelHandle thread(process.hThread), handle(process.hProcess);
        WaitForSingleObject(handle.get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(handle.get(), &code);
        return code;
    }
    std::vector<std::wstring> made_;
};

TEST_F(TravelStoreTest, CopyToAnotherScreenNameIsByteForByte) {
    const std::wstring from = Name(L"from"), to = Name(L"to");
    PutSamples(from);
    const DWORD number = 5;
    Put(from, L"GoneMsg6", REG_DWORD, Bytes(&number, sizeof number));  // no text: not copied
    Put(from, L"Sounds", REG_SZ, TextData(L"not a message"));
    std::vector<TravellingMessage> messages = StoredMessagesExactly(from);
    ASSERT_EQ(messages.size(), Samples().size());
    for (TravellingMessage& message : messages) message.screenName = to;
    ASSERT_TRUE(WriteMessagesExactly(messages).Done());
    ExpectSamples(to);
    EXPECT_EQ(Held(to, L"GoneMsg6"), "none");
    EXPECT_EQ(Held(to, L"Sounds"), "none");
}

TEST_F(TravelStoreTest, BackUpRemoveAndRestoreGivesEveryByteBack) {
    const std::wstring first = Name(L"first"), second = Name(L"second\\nested");
    PutSamples(first);
    PutSamples(second);
    std::vector<TravellingMessage> messages = StoredMessagesExactly(first);
    for (const TravellingMessage& message : StoredMessagesExactly(second)) messages.push_back(message);
    const RegFileWriting file = WriteRegFile(messages);
    ASSERT_TRUE(file.leftOut.empty());
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"backup.reg");
    ASSERT_EQ(WriteFileAt(path, file.bytes), 0u);
    EXPECT_EQ(testing::ReadWholeFile(path), file.bytes);

    for (const std::wstring& name : made_)
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    const FileReading read = ReadRegFileAt(path);
    ASSERT_EQ(read.error, 0u);
    EXPECT_EQ(read.contents.skippedCount, 0u);
    ASSERT_TRUE(WriteMessagesExactly(read.contents.messages).Done());
    ExpectSamples(first);
    ExpectSamples(second);
}

TEST_F(TravelStoreTest, VelmorasBackupIsRestoredByWinesRegImportAndRegedit) {
    for (const wchar_t* program : {L"reg.exe import", L"regedit.exe /s"}) {
        const std::wstring name = Name(L"imported");
        PutSamples(name);
        const RegFileWriting file = WriteRegFile(StoredMessagesExactly(name));
        testing::TempFolder folder;
        const std::wstring path = folder.File(L"backup.reg");
        ASSERT_EQ(WriteFileAt(path, file.bytes), 0u);
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
        ASSERT_EQ(Held(name, L"GoneMsg1"), "none");

        EXPECT_EQ(Run(std::wstring(program) + L" \"" + path + L"\""), 0u);
        ExpectSamples(name, Way::SystemImport);
    }
}

TEST_F(TravelStoreTest, AKeyExportedByWinesRegIsRestoredByVelmora) {
    const std::wstring name = Name(L"exported");
    PutSamples(name);
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"export.reg");
    ASSERT_EQ(Run(L"reg.exe export \"HKCU\\" + UsersKeyPath() + L"\\" + name + L"\" \"" + path + L"\" /y"), 0u);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);

    const FileReading read = ReadRegFileAt(path);
    ASSERT_EQ(read.error, 0u);
    ASSERT_EQ(read.contents.problem, RegFileProblem::None);
    ASSERT_TRUE(WriteMessagesExactly(read.contents.messages).Done());
    ExpectSamples(name, Way::WineExport);
}

TEST_F(TravelStoreTest, AHostileFileWritesNothingOutsideTheStoreAndDeletesNothing) {
    const std::wstring name = Name(L"target");
    Put(name, L"GoneMsg1", REG_SZ, TextData(L"keep me"));
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring file =
        L"Windows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_CURRENT_USER\\" +
        run +
        L"]\r\n\"GoneMsgEvil\"=\"evil.exe\"\r\n\r\n"
        L"[HKEY_LOCAL_MACHINE\\" +
        AwayKeyPath(name) +
        L"]\r\n\"GoneMsg2\"=\"machine\"\r\n\r\n"
        L"[HKEY_CURRENT_USER\\" +
        AwayKeyPath(name) +
        L"]\r\n\"GoneMsg1\"=-\r\n"
        L"\"Autorun\"=\"x\"\r\n\"GoneMsg3\"=\"welcome\"\r\n\r\n"
        L"[-HKEY_CURRENT_USER\\" +
        AwayKeyPath(name) + L"]\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : file) bytes += Bytes(&c, 2);
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"hostile.reg");
    testing::WriteWholeFile(path, bytes);

    const FileReading read = ReadRegFileAt(path);
    ASSERT_EQ(read.contents.messages.size(), 1u);
    EXPECT_EQ(read.contents.skippedCount, 5u);
    ASSERT_TRUE(WriteMessagesExactly(read.contents.messages).Done());
    EXPECT_EQ(Held(name, L"GoneMsg3"), Sz(TextData(L"welcome")));
    EXPECT_EQ(Held(name, L"GoneMsg1"), Sz(TextData(L"keep me")));
    EXPECT_EQ(Held(name, L"Autorun"), "none");
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, run, L"GoneMsgEvil"));
    EXPECT_FALSE(testing::RegistryKeyExists(HKEY_LOCAL_MACHINE, AwayKeyPath(name)));
}

TEST_F(TravelStoreTest, AllAreWrittenOrNone) {
    const std::wstring name = Name(L"allornone");
    Put(name, L"GoneMsg1", REG_SZ, TextData(L"before"));
    const std::vector<TravellingMessage> messages = {{name, L"GoneMsg1", TextData(L"replaced")},
                                                     {name, L"GoneMsg2", TextData(L"new")},
                                                     {name, L"GoneMsg3", TextData(L"fails")}};
    // The third value fails to store: the first two are put back as they were.
    static int calls;
    calls = 0;
    const TravelWriting failed = WriteMessagesExactly(
        messages, [](HKEY key, const std::wstring& valueName, const std::string& data) noexcept -> LSTATUS {
            return ++calls == 3 ? ERROR_ACCESS_DENIED : SetTextData(key, valueName, data);
        });
    EXPECT_EQ(failed.step, TravelStep::StoreValue);
    EXPECT_EQ(failed.failed, 2u);
    EXPECT_TRUE(failed.written.empty());
    EXPECT_EQ(Held(name, L"GoneMsg1"), Sz(TextData(L"before")));
    EXPECT_EQ(Held(name, L"GoneMsg2"), "none");
    EXPECT_EQ(Held(name, L"GoneMsg3"), "none");
    const std::wstring told = TravelFailureText(failed, messages, L"Access is denied.");
    EXPECT_NE(told.find(L"No away message was written."), std::wstring::npos);
    EXPECT_NE(told.find(L"Access is denied."), std::wstring::npos);

    // Names checked before anything is written: a later bad one stops the first too.
    const auto refused = [&](TravellingMessage last) {
        std::vector<TravellingMessage> some = {{name, L"GoneMsg4", TextData(L"first")}, std::move(last)};
        const TravelWriting writing = WriteMessagesExactly(some);
        EXPECT_EQ(Held(name, L"GoneMsg4"), "none");
        EXPECT_FALSE(TravelFailureText(writing, some, L"").empty());
        return writing.step;
    };
    EXPECT_EQ(refused({name, L"Autorun", TextData(L"x")}), TravelStep::NotAwayMessage);
    EXPECT_EQ(refused({name, L"GoneMsg\u4e2d", TextData(L"x")}), TravelStep::NameNotInCodePage);
    EXPECT_EQ(refused({name + L"\\\\x", L"GoneMsg1", TextData(L"x")}), TravelStep::NameUnusable);
    const DWORD number = 1;
    Put(name, L"GoneMsg5", REG_DWORD, Bytes(&number, sizeof number));
    EXPECT_EQ(refused({name, L"GoneMsg5", TextData(L"x")}), TravelStep::OtherTypeThere);
    EXPECT_EQ(Held(name, L"GoneMsg5"), std::to_string(REG_DWORD) + ":" + Bytes(&number, sizeof number));
}

TEST_F(TravelStoreTest, A100MegabyteFileIsRefusedWithoutReadingIt) {
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"huge.reg");
    {
        UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.get() != INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = 100LL * 1024 * 1024;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    const FileReading read = ReadRegFileAt(path);
    EXPECT_EQ(read.error, 0u);
    EXPECT_EQ(read.contents.problem, RegFileProblem::TooLarge);
    EXPECT_NE(ReadRegFileAt(folder.File(L"missing.reg")).error, 0u);
}

}  // namespace
}  // namespace velmora
