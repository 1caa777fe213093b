#include "fault/fault.h"

#include <cstdio>

#include "fault/system_id.h"
#include "log/log.h"
#include "platform/platform.h"

namespace {

FaultHandler HandlerSlot = nullptr;
int HandlerBusy = 0;
// Set from the first moment of a fault: a second fault raised while the first
// is being handled (memory gone while the text is built) must not build texts
// again.
int FaultUnderWay = 0;

const char* const kReportCaption = "程序出现了故障，请联系技术支持";
const std::uint32_t kReportBoxStyle = 0x2010;  // MB_OK | MB_ICONERROR | MB_TASKMODAL

// The channel's own box, for a fault that no handler reported. It builds its
// text in static storage, since memory may be what failed.
void ShowChannelBox(std::int32_t code, const char* message, std::int32_t routine, std::int32_t place) {
    static char text[4096];
    std::snprintf(text, sizeof text, "程序遇到无法恢复的错误。\r\n错误代码：%d\r\n%s\r\n%d, %d",
                  static_cast<int>(code), message ? message : "", static_cast<int>(routine),
                  static_cast<int>(place));
    os::MessageBoxA(text, "程序错误", kReportBoxStyle);
}

[[noreturn]] void EndAfterFault() {
    // The process ends here; clearing the flags only matters to a platform
    // whose end of process can be observed and survived (the tests' double).
    FaultUnderWay = 0;
    HandlerBusy = 0;
    os::DiscardExitRoutines();
    os::EndProcess(-1);
}

}  // namespace

void SetFaultHandler(FaultHandler handler) { HandlerSlot = handler; }

void RaiseFault(std::int32_t code, const char* message, std::int32_t routine, std::int32_t place) {
    if (FaultUnderWay) {
        ShowChannelBox(code, message, routine, place);
        EndAfterFault();
    }
    FaultUnderWay = 1;
    Text faultText = BuildFaultText(message, routine, place);
    std::int32_t reported = 0;
    if (HandlerSlot != nullptr && !HandlerBusy) {
        HandlerBusy = 1;
        reported = HandlerSlot(code, &faultText);
        HandlerBusy = 0;
    }
    if (!reported) ShowChannelBox(code, message, routine, place);
    EndAfterFault();
}

void InstallFaultHandler() { SetFaultHandler(FaultHandlerEntry); }

std::int32_t FaultHandlerEntry(std::int32_t code, const Text* text) {
    Text copy = text ? *text : Text();
    return ReportFault(code, copy);
}

Text BuildFaultText(const char* message, std::int32_t routine, std::int32_t place) {
    return Text(message ? message : "") + "\r\n" + NumberToText(routine) + ", " + NumberToText(place) +
           "\r\n";
}

Text ErrorLogFile() { return RunDirectory + "\\" + ExecutableName + ".Error.log"; }

Text BuildFaultReport(std::int32_t code, const Text& faultText) {
    Text report = "ErrorCode:  " + NumberToText(code);
    report += "\r\nErrorNote:  " + faultText + "\r\n";
    report += "Path:  " + RunDirectory + "\\" + ExecutableName + "\r\n";
    const char* bitness = WindowsBitness();
    Text name = OsName();
    std::int32_t versionCode = OsVersionCode();
    report += "OS: " + name + " , " + NumberToText(versionCode) + " , " + bitness + "\r\n\r\n";
    return report;
}

std::int32_t ReportFault(std::int32_t code, const Text& text) {
    Text report = BuildFaultReport(code, text);
    WriteLog(report, std::nullopt, std::nullopt, ErrorLogFile());
    Text boxText = report + "错误日志已经保存在：[ " + RunDirectory + "\\" + ExecutableName +
                   ".Error.log ]请发给开发者排查问题。";
    os::MessageBoxA(boxText.c_str(), kReportCaption, kReportBoxStyle);
    return 1;
}
