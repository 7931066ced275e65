#include <gtest/gtest.h>

#include "app/ErrorLog.h"
#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

class ErrorHandler : public testing::Test, public TrayFormFixture {
protected:
    void SetUp() override { StartTray(); }
    void TearDown() override { StopTray(); }
    std::string Log() { return ReadBytes(dir / L"Error.log"); }
};

TEST_F(ErrorHandler, LogsOnlyWithALastErrorAndGoesOn) {
    TrayForm->TimerMain->SetEnabled(false);
    ::SetLastError(0);
    TrayForm->ApplicationEventsException(std::make_exception_ptr(gui::Exception(L"quiet")));
    EXPECT_TRUE(Log().empty()) << "a zero last-error value logs nothing";
    EXPECT_FALSE(TrayForm->TimerMain->Enabled()) << "and leaves the timer as it was";

    TrayForm->FPopUpL = TrayForm->FPopUpR = true;
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    TrayForm->ApplicationEventsException(std::make_exception_ptr(gui::Exception(L"最初のエラー")));
    ::SetLastError(ERROR_ACCESS_DENIED);
    TrayForm->ApplicationEventsException(std::make_exception_ptr(std::runtime_error("second")));
    EXPECT_FALSE(TrayForm->FPopUpL);
    EXPECT_FALSE(TrayForm->FPopUpR);
    EXPECT_TRUE(TrayForm->TimerMain->Enabled()) << "the heartbeat resumes";

    // Oldest first, "date time : message", in the system code page.
    std::wstring text = gui::DecodeText(Log(), gui::TTextEncoding::Ansi);
    std::vector<std::wstring> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(L"\r\n", pos);
        ASSERT_NE(end, std::wstring::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    ASSERT_EQ(lines.size(), 2u);
    std::wstring stamp = ErrorLogTimestamp();
    for (const auto& [line, message] : {std::pair{lines[0], std::wstring(L"最初のエラー")},
                                        std::pair{lines[1], std::wstring(L"second")}}) {
        size_t sep = line.find(L" : ");
        ASSERT_NE(sep, std::wstring::npos);
        EXPECT_EQ(line.substr(sep + 3), message);
        EXPECT_EQ(line.substr(0, sep).size(), stamp.size());
        EXPECT_EQ(line.substr(0, 4), stamp.substr(0, 4)) << "starts with the year";
    }
}

TEST_F(ErrorHandler, ListIndexErrorRestartsWithoutSaving) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    const std::wstring mark = std::wstring(tmp) + L"orv-tray-restart.mark";
    ::DeleteFileW(mark.c_str());

    std::vector<std::wstring> boxes;
    {
        MessageBoxAnswerer closer;
        ::SetLastError(ERROR_INVALID_INDEX);
        TrayForm->ApplicationEventsException(std::make_exception_ptr(
            gui::Exception(L"リストのインデックスが範囲を超えています (7)")));
        boxes = closer.Texts();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"履歴リストにエラーが発生しました\r\nOrvandelを終了し現在の履歴を無効にして再起動します");
    EXPECT_TRUE(app->Terminated()) << "the message loop ends";
    EXPECT_TRUE(TrayForm->FClose) << "a later close request saves nothing";
    EXPECT_TRUE(TrayForm->CloseQuery());
    EXPECT_TRUE(ReadBytes(dir / L"Config.ini").empty()) << "no settings were saved";
    EXPECT_NE(Log().find("(7)"), std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return ReadBytes(mark) == "/ListError"; }, 10000))
        << "the program was started again with /ListError";
    ::DeleteFileW(mark.c_str());
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

}  // namespace
