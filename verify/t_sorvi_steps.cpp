// The verification steps: the operator connects a stimulus to every channel,
// samples the channels one by one in pop-up P4 and confirms; each channel's
// state and verdict go into the protocol.
#include <paneltk/paneltk.h>

#include "channel_verdict.h"
#include "chklog.h"
#include "lumex.h"
#include "t_sorvi.h"
#include "text_format.h"
#include "verisk_uir.h"

std::int32_t checkType = 0;
std::int32_t confirmed = 0;
void (*benchWindowHook)() = nullptr;
void (*stimulusPromptHook)(const char*) = nullptr;

namespace {

constexpr int kChannels = 32;
constexpr double kThresholdVolts = 2.0;
constexpr double kSamplePeriodS = 0.001;
constexpr double kSingleSampleWaitS = 0.001;
constexpr double kPopupWaitS = 0.1;
constexpr std::size_t kCellChars = 63;

struct Stage {
    int prompt;              // prompt box shown in P4
    const char* subheading;  // protocol line before the stage's channel lines
    int expected;            // logical state every channel should read
    const char* stimulus;    // what the prompt asks for, in bench command words
};

struct Step {
    const char* heading;
    Stage stages[2];
};

const Step kResistanceStep{
    "\nПроверка соответствия выходных сигналов мезонина сопротивлению ДД.\n",
    {{P4_MSG_1, "Сопротивление >= 100 кОм.\n", 1, "100k"}, {P4_MSG_2, "Сопротивление <= 5 Ом.\n", 0, "5ohm"}}};
const Step kVoltageStep{"\nПроверка соответствия выходных сигналов мезонина напряжению ДД.\n",
                        {{P4_MSG_3, "Напряжение 1 В.\n", 0, "1V"}, {P4_MSG_4, "Напряжение 3 В.\n", 1, "3V"}}};

bool popupVisible() {
    int visible = 0;
    return tk::getPanelAttribute(hP4, tk::ATTR_VISIBLE, visible) == tk::OK && visible != 0;
}

// Shows P4 with the stage's prompt and waits until the operator confirms or
// cancels. Only a confirmation given in this pop-up counts: one left over
// from a step that ended in a failure is dropped first.
void runStagePopup(const Stage& stage) {
    confirmed = 0;
    tk::setAttribute(hP4, stage.prompt, tk::ATTR_VISIBLE, 1);
    tk::resetControl(hP4, P4_TABLE);
    tk::resetControl(hP4, P4_CHAN);
    if (tk::installPopup(hP4) == tk::OK) {
        if (stimulusPromptHook) stimulusPromptHook(stage.stimulus);
        while (popupVisible()) {
            tk::processEvents();
            if (popupVisible()) tk::waitEvents(kPopupWaitS);
        }
    }
    tk::setAttribute(hP4, stage.prompt, tk::ATTR_VISIBLE, 0);
}

void writeStageLines(const Stage& stage) {
    WriteLOG(kProtocolWindow, "%s", stage.subheading);
    for (int n = 1; n <= kChannels; ++n) {
        std::string cell;
        tk::getCell(hP4, P4_TABLE, n, 1, cell);
        cell = truncateChars(cell, kCellChars);
        WriteLOG(kProtocolWindow, "канал %2d    %s(%s)\n", n, cell.c_str(),
                 channelVerdict(cellState(cell), stage.expected));
    }
}

// Puts the module into the state both steps measure in.
bool prepareModule() {
    if (moduleSession == 0) return true;
    return checkErr(lumex_set_porog(moduleSession, kThresholdVolts)) >= VI_SUCCESS &&
           checkErr(lumex_sample_period(moduleSession, kSamplePeriodS)) >= VI_SUCCESS &&
           checkErr(lumex_mode_1(moduleSession)) >= VI_SUCCESS &&
           checkErr(lumex_input_trigger(moduleSession, VI_TRUE)) >= VI_SUCCESS &&
           checkErr(lumex_mask_interrupt(moduleSession, VI_FALSE)) >= VI_SUCCESS;
}

bool switchInputs(bool on) {
    if (moduleSession == 0) return true;
    return checkErr(lumex_input_trigger(moduleSession, on ? VI_TRUE : VI_FALSE)) >= VI_SUCCESS;
}

int failureExit() {
    if (moduleSession != 0) checkErr(lumex_input_trigger(moduleSession, VI_FALSE));
    return -1;
}

}  // namespace

int writeProt() {
    openProtocolForStep();
    const Step* step = checkType == 4 ? &kResistanceStep : checkType == 5 ? &kVoltageStep : nullptr;
    if (step == nullptr) return -1;
    if (!prepareModule()) return failureExit();

    runStagePopup(step->stages[0]);
    if (!switchInputs(false)) return failureExit();
    if (!confirmed) return -1;
    confirmed = 0;
    WriteLOG(kProtocolWindow, "%s", step->heading);
    writeStageLines(step->stages[0]);

    if (!switchInputs(true)) return failureExit();
    runStagePopup(step->stages[1]);
    if (!switchInputs(false)) return failureExit();
    if (!confirmed) return -1;
    confirmed = 0;
    writeStageLines(step->stages[1]);
    return 0;
}

int chTest(int panel, int control, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    writeStatusLine("");
    int value = 0;
    if (tk::getValue(panel, control, value) == tk::OK) checkType = value;
    return 0;
}

int input(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    const int result = writeProt();
    writeStatusLine(result < 0 ? "проверка не выполнена" : "проверка выполнена");
    return 0;
}

int startMes(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    if (moduleSession == 0) return 0;
    ViUInt32 sample = 0;
    if (checkErr(lumex_start(moduleSession)) < VI_SUCCESS) return 0;
    tk::delay(kSingleSampleWaitS);
    if (checkErr(lumex_stop(moduleSession)) < VI_SUCCESS) return 0;
    if (checkErr(lumex_read_sample(moduleSession, &sample, VI_NULL, VI_NULL)) < VI_SUCCESS) return 0;

    unsigned short channel = 1;
    tk::getValue(hP4, P4_CHAN, channel);
    const int n = channel < 1 ? 1 : channel > kChannels ? kChannels : channel;
    tk::setCell(hP4, P4_TABLE, n, 1, channelBit(sample, n) ? "1" : "0");

    int first = 1;
    int visible = kChannels;
    tk::getAttribute(hP4, P4_TABLE, tk::ATTR_FIRST_VISIBLE_ROW, first);
    tk::getAttribute(hP4, P4_TABLE, tk::ATTR_VISIBLE_ROWS, visible);
    if (n < first || n >= first + visible) tk::setAttribute(hP4, P4_TABLE, tk::ATTR_FIRST_VISIBLE_ROW, n);

    if (n < kChannels) tk::setValue(hP4, P4_CHAN, n + 1);
    else tk::setActiveControl(hP4, P4_INPUT);
    return 0;
}

int vpOk(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    confirmed = 1;
    tk::removePopup(panel);
    return 0;
}

int CancelVP(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::removePopup(panel);
    return 0;
}
