// Kernel services of the headless platform: module name, files in the program's folder,
// and WinExec.
#include <gtest/gtest.h>

#include <headless/driver.h>

#include <cstring>

TEST(HeadlessKernel, ModuleFileNameCutsAndTerminatesAsFromVistaOn) {
    headless::ResetWorld();
    char path[64];
    EXPECT_EQ(GetModuleFileNameA(headless::ProgramInstance(), path, sizeof path), 24u);
    EXPECT_STREQ(path, "C:\\TapTally\\TapTally.exe");
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 25), 24u);
    std::memset(path, 'x', sizeof path);
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 24), 24u); // nSize: it did not fit
    EXPECT_STREQ(path, "C:\\TapTally\\TapTally.ex");
}

TEST(HeadlessKernel, FilesLiveInAFolderOfTheirOwnPerRun) {
    headless::ResetWorld();
    headless::SetModulePath("D:\\Tools\\Mouse\\TapTally.exe");
    OFSTRUCT info;
    HFILE file = OpenFile("D:\\Tools\\Mouse\\TapTally.vbs", &info, OF_CREATE | OF_WRITE);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lwrite(file, "line one\n", 9), 9u);
    EXPECT_EQ(_lwrite(file, "two\n", 4), 4u);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(_lclose(file), HFILE_ERROR);
    EXPECT_EQ(headless::ReadFile("d:\\tools\\mouse\\TapTally.vbs"), "line one\ntwo\n");
    std::string host = headless::HostPath("D:\\Tools\\Mouse\\TapTally.vbs");

    // OF_CREATE truncates what was there.
    file = OpenFile("D:\\Tools\\Mouse\\TapTally.vbs", &info, OF_CREATE | OF_WRITE);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(headless::ReadFile("D:\\Tools\\Mouse\\TapTally.vbs"), "");

    headless::SetProgramFolderWritable(false);
    EXPECT_EQ(OpenFile("D:\\Tools\\Mouse\\Other.vbs", &info, OF_CREATE | OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, (WORD)ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteFileA("D:\\Tools\\Mouse\\TapTally.vbs"));
    headless::SetProgramFolderWritable(true);

    headless::SetFileCloseFails(true);
    file = OpenFile("D:\\Tools\\Mouse\\Other.vbs", &info, OF_CREATE | OF_WRITE);
    EXPECT_EQ(_lclose(file), HFILE_ERROR);
    headless::SetFileCloseFails(false);

    EXPECT_TRUE(DeleteFileA("D:\\Tools\\Mouse\\TapTally.vbs"));
    EXPECT_FALSE(headless::FileExists("D:\\Tools\\Mouse\\TapTally.vbs"));
    EXPECT_FALSE(DeleteFileA("D:\\Tools\\Mouse\\TapTally.vbs"));
    EXPECT_THROW(headless::ReadFile("D:\\Tools\\Mouse\\TapTally.vbs"), std::runtime_error);
    EXPECT_THROW(headless::HostPath("C:\\Windows\\win.ini"), std::logic_error);

    // The next run starts with an empty folder, and the last one's is gone.
    headless::ResetWorld();
    EXPECT_FALSE(headless::FileExists("C:\\TapTally\\Other.vbs"));
    EXPECT_NE(headless::HostPath("C:\\TapTally\\x"), host);

    // OpenFile holds the path in its structure: 127 characters open, 128 do not.
    std::string path = "C:\\TapTally\\" + std::string(127 - 12, 'n');
    file = OpenFile(path.c_str(), &info, OF_CREATE | OF_WRITE);
    EXPECT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(OpenFile((path + "n").c_str(), &info, OF_CREATE | OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, (WORD)ERROR_INVALID_PARAMETER);

    // A full disk takes what fits and says how much.
    headless::SetFolderSpace(10);
    file = OpenFile("C:\\TapTally\\full.txt", &info, OF_CREATE | OF_WRITE);
    EXPECT_EQ(_lwrite(file, "123456", 6), 6u);
    EXPECT_EQ(_lwrite(file, "123456", 6), 4u);
    EXPECT_EQ(_lwrite(file, "1", 1), 0u);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(headless::ReadFile("C:\\TapTally\\full.txt"), "1234561234");

    EXPECT_EQ(WinExec("wscript.exe C:\\TapTally\\TapTally.vbs", SW_SHOWNA), 33u);
    headless::SetWinExecResult(2);
    EXPECT_EQ(WinExec("second", SW_SHOWNA), 2u);
    ASSERT_EQ(headless::WinExecCalls().size(), 2u);
    EXPECT_EQ(headless::WinExecCalls()[0], "wscript.exe C:\\TapTally\\TapTally.vbs");
    EXPECT_EQ(headless::WinExecShowStates(), (std::vector<UINT>{SW_SHOWNA, SW_SHOWNA}));
}

TEST(HeadlessKernel, SystemSettingsReadWhatTheTestSet) {
    headless::ResetWorld();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_MOUSEPRESENT), 1);
    headless::SetSystemMetric(SM_MOUSEPRESENT, 0);
    EXPECT_EQ(GetSystemMetrics(SM_MOUSEPRESENT), 0);
    EXPECT_EQ(GetVersion(), 0x0A280105u);
    headless::SetVersion(0x0A03);
    EXPECT_EQ(LOBYTE(GetVersion()), 3);
    int params[3];
    SystemParametersInfoA(SPI_GETMOUSE, 0, params, 0);
    EXPECT_EQ(params[0], 6);
    EXPECT_EQ(params[2], 1);
    headless::SetButtonsSwapped(true);
    BOOL was = SwapMouseButton(FALSE);
    EXPECT_TRUE(was);
    EXPECT_FALSE(headless::ButtonsSwapped());
    SwapMouseButton(was);
    EXPECT_TRUE(headless::ButtonsSwapped());
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    EXPECT_EQ(GetTickCount(), 1000000u);
}
