// The monitor logs: where they lie, the marks, the clearing question, reading lines
// as they are written, and appends from several processes at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "Files.h"
#include "ModMainPlatform.h"
#include "ModProcMon.h"
#include "ModSettings.h"
#include "ProcMonCls.h"
#include "ProgramState.h"
#include "Seams.h"
#include "UiWait.h"
#include "VbRules.h"

namespace {

void Append(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

class MonitorLogTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    log_ = ProcMonCls::LogPathOf("C:\\A\\setup.exe");
    DeleteFileA(log_.c_str());
    seams::MessageBoxFn = [this](HWND, const std::string& text, const std::string&, UINT style) {
      questions_.push_back(text);
      styles_.push_back(style);
      return answer_;
    };
  }
  void TearDown() override {
    DeleteFileA(log_.c_str());
    seams::Reset();
  }
  struct Line {
    int16_t code;
    std::string time, rest;
  };
  // Every line one reader gets, from one open to the end.
  std::vector<Line> ReadLines(const std::string& program) {
    ProcMonCls reader;
    reader.OpenLogFile(program);
    std::vector<Line> lines;
    Line line{0, "", ""};
    while (reader.GetNextLine(line.code, line.time, line.rest)) lines.push_back(line);
    reader.CloseLogFile();
    return lines;
  }
  std::string log_;
  int answer_ = IDNO;
  std::vector<std::string> questions_;
  std::vector<UINT> styles_;
};

TEST_F(MonitorLogTest, ProgramsOfOneNameShareALogAndTheMarksReadBack) {
  EXPECT_EQ(log_, RiskMonitorLogFolder() + "setup.exe.log");
  EXPECT_EQ(ProcMonCls::LogPathOf("D:\\B\\setup.exe"), log_);
  EXPECT_EQ(ProcMonCls::LogPathOf("bare.exe"), RiskMonitorLogFolder() + "bare.exe.log");
  // The folder is made when missing.
  RemoveDirectoryA(RiskMonitorLogFolder().c_str());
  ProcMonCls writer;
  ASSERT_TRUE(writer.WriteStartToLogFile("C:\\A\\setup.exe"));
  EXPECT_TRUE(questions_.empty());  // nothing to clear yet
  ASSERT_TRUE(writer.WriteStopToLogFile("D:\\B\\setup.exe"));
  std::vector<Line> lines = ReadLines("D:\\B\\setup.exe");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].code, 101);
  EXPECT_EQ(lines[1].code, 102);
  EXPECT_EQ(lines[0].time.size(), 8u);
  EXPECT_EQ(lines[0].time[2], ':');
  EXPECT_EQ(lines[0].rest.rfind("Time: ", 0), 0u);
  EXPECT_TRUE(vb::CDate(lines[0].rest.substr(6)).has_value()) << lines[0].rest;
  EXPECT_EQ(testsupport::ReadAll(log_).substr(8, 11), " 101 Time: ");
}

TEST_F(MonitorLogTest, StartingTheMonitorMakesTheLogFolder) {
  RemoveDirectoryA(RiskMonitorLogFolder().c_str());
  InitRiskMonitor();
  DWORD attributes = GetFileAttributesA(RiskMonitorLogFolder().c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetSetting(ProgramTitle, "tmpcpu", "path", ""), RiskMonitorLogFolder());
}

TEST_F(MonitorLogTest, TheClearingQuestionDependsOnTheFirstLine) {
  struct Case {
    const char* content;
    int answer;
    bool asked;
    bool kept;
  } cases[] = {
      {"", IDYES, false, true},
      {"\r\n10:00:00 201 x\r\n", IDYES, false, true},  // a first line that is empty counts as empty
      {"10:00:00 201 x\r\n", IDNO, true, true},
      {"10:00:00 201 x\r\n", IDYES, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.content) + (c.answer == IDYES ? " yes" : " no"));
    DeleteFileA(log_.c_str());
    CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
    if (*c.content) Append(log_, c.content);
    questions_.clear();
    styles_.clear();
    answer_ = c.answer;
    ProcMonCls writer;
    ASSERT_TRUE(writer.WriteStartToLogFile("C:\\A\\setup.exe"));
    ASSERT_EQ(questions_.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(questions_[0], "A log file for this process already exists, would like to clear the data in it first?");
      EXPECT_EQ(styles_[0], static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    }
    std::string text = testsupport::ReadAll(log_);
    if (*c.content) {
      EXPECT_EQ(text.rfind(c.content, 0) == 0, c.kept);
    }
    EXPECT_NE(text.find(" 101 Time: "), std::string::npos);
  }
}

TEST_F(MonitorLogTest, ALogThatCannotBeClearedIsSaidSoAndKept) {
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  Append(log_, "10:00:00 201 x\r\n");
  // Held open by another program that shares it for reading only.
  HANDLE held = CreateFileA(log_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  answer_ = IDYES;
  ProcMonCls writer;
  writer.WriteStartToLogFile("C:\\A\\setup.exe");
  CloseHandle(held);
  ASSERT_GE(questions_.size(), 2u) << "the Yes did nothing, and nothing said so";
  EXPECT_EQ(questions_[1].rfind("The log file " + log_ + " can't be cleared (", 0), 0u) << questions_[1];
  EXPECT_NE(questions_[1].find("); its old lines are kept."), std::string::npos) << questions_[1];
  EXPECT_EQ(styles_[1], static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(testsupport::ReadAll(log_).rfind("10:00:00 201 x\r\n", 0), 0u);
}

TEST_F(MonitorLogTest, AMarkThatCannotBeWrittenIsReported) {
  // A folder where the log should be: nothing can be appended to it.
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryA(log_.c_str(), nullptr));
  ProcMonCls writer;
  EXPECT_FALSE(writer.WriteStopToLogFile("C:\\A\\setup.exe"));
  EXPECT_FALSE(writer.WriteStartToLogFile("C:\\A\\setup.exe"));
  RemoveDirectoryA(log_.c_str());
}

TEST_F(MonitorLogTest, LinesBadFieldsAndBlankLines) {
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  Append(log_,
         "10:00:00 301 HKCU\\Key value\r\n"
         "10:00:01 305\r\n"          // only a time and a code: the rest stays
         "10:00:02 abc new rest\r\n"  // no number: the code stays
         "\r\n"                       // one blank line is skipped
         "10:00:03 401 host:80\r\n"
         "\r\n\r\n"                   // two end the reading
         "10:00:04 501 never read\r\n");
  std::vector<Line> lines = ReadLines("C:\\A\\setup.exe");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rest, "HKCU\\Key value");
  EXPECT_EQ(lines[1].code, 305);
  EXPECT_EQ(lines[1].rest, "HKCU\\Key value");
  EXPECT_EQ(lines[2].code, 305);
  EXPECT_EQ(lines[2].rest, "new rest");
  EXPECT_EQ(lines[3].code, 401);
  EXPECT_TRUE(ReadLines("C:\\A\\missing.exe").empty());
}

TEST_F(MonitorLogTest, AnUnfinishedLastLineIsReadOnceFinished) {
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  Append(log_, "10:00:00 201 first\r\n10:00:01 202 half");
  ProcMonCls reader;
  reader.OpenLogFile("C:\\A\\setup.exe");
  int16_t code = 0;
  std::string time, rest;
  ASSERT_TRUE(reader.GetNextLine(code, time, rest));
  EXPECT_EQ(code, 201);
  EXPECT_FALSE(reader.GetNextLine(code, time, rest));  // not whole yet
  Append(log_, " written\r");
  EXPECT_FALSE(reader.GetNextLine(code, time, rest));  // a CR alone is no line end yet
  Append(log_, "\n10:00:02 203 next\r\n");
  ASSERT_TRUE(reader.GetNextLine(code, time, rest));
  EXPECT_EQ(code, 202);
  EXPECT_EQ(rest, "half written");
  ASSERT_TRUE(reader.GetNextLine(code, time, rest));
  EXPECT_EQ(code, 203);
  EXPECT_FALSE(reader.GetNextLine(code, time, rest));
}

TEST_F(MonitorLogTest, ThreeProcessesAppendingLeaveOnlyWholeLines) {
  CreateDirectoryA(RiskMonitorLogFolder().c_str(), nullptr);
  const int kLines = 1500;
  std::vector<PROCESS_INFORMATION> writers;
  for (int w = 0; w < 3; ++w) {
    std::string cmd = "\"" + testsupport::BinDir() + "\\risk_appender.exe\" \"" + log_ + "\" " + std::to_string(w) +
                      " " + std::to_string(kLines);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    writers.push_back(pi);
  }
  for (PROCESS_INFORMATION& pi : writers) {
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  std::vector<Line> lines = ReadLines("C:\\A\\setup.exe");
  ASSERT_EQ(lines.size(), 3u * kLines);
  std::vector<int> next(3, 0);
  for (const Line& line : lines) {
    ASSERT_EQ(line.code, 201);
    int writer = -1, number = -1;
    ASSERT_EQ(std::sscanf(line.rest.c_str(), "writer %d line %d padding", &writer, &number), 2) << line.rest;
    ASSERT_TRUE(writer >= 0 && writer < 3);
    EXPECT_EQ(number, next[writer]++);  // each writer's lines arrive whole and in order
  }
}

}  // namespace
