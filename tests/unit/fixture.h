// A fresh in-memory machine for every test: drive C: fixed, the program at
// C:\Tool\Tool.exe, 5 March 2024 09:07:02, process 812.
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "config/config.h"
#include "fault/fault.h"
#include "log/log.h"
#include "platform/fake/fake.h"
#include "platform/platform.h"

class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        LogEnabled = 1;
        LogInSubfolder = 1;
        SetFaultHandler(nullptr);
        ClearTable(PathTable);
        ConfigFile.clear();
        os::StartPlatform();
    }

    // Runs `body` and returns the exit code of the process end it causes.
    template <typename Body>
    static int ExitCodeOf(Body body) {
        try {
            body();
        } catch (const fake::ProcessEnded& ended) {
            return ended.exitCode;
        }
        ADD_FAILURE() << "the process did not end";
        return 1000;
    }

    // Runs the program from its entry; returns the exit code it ended with.
    static int RunProgram() { return ExitCodeOf([] { ProgramEntry(); }); }

    static Text DayLog() { return fake::FileBytes("C:\\Tool\\logs\\Tool_20240305.log").value_or(""); }

    // The line that WriteLog makes for `message` at the default time and pid.
    static Text Entry(const Text& message) { return "2024-03-05 09:07:02 [PID 812] : " + message + "\r\n"; }

    static void WriteConfig(const Text& bytes) { fake::AddFile("C:\\Tool\\config.ini", bytes); }
};
