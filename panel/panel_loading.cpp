// Loading an instance's nine panels: load order, callback data, window
// position and titles, and the values the main panel starts with.
#include <paneltk/paneltk.h>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "lumex.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {

// Window attributes of the main panel and of decorations that the panel
// resource carries as plain platform attribute numbers.
constexpr int kWindowAttributeA = 600;
constexpr int kWindowAttributeB = 580;
constexpr int kDecorationAttribute = 610;
constexpr int kTraceAttribute = 1230;
constexpr int kChartTraces = 32;  // one per channel

// Panel ids in load order, and the instance field each handle goes into.
struct PanelSlot {
    int id;
    std::int32_t SorviInstance::*field;
};
constexpr PanelSlot kLoadOrder[9] = {
    {ABOUT, &SorviInstance::aboutPanel},     {RP, &SorviInstance::resultsPanel}, {ST, &SorviInstance::selfTestPanel},
    {EXIT_POPUP, &SorviInstance::exitPopup}, {SP, &SorviInstance::chartPanel},   {EP, &SorviInstance::errorPanel},
    {TP, &SorviInstance::dacTestPanel},      {PP, &SorviInstance::paramsPanel},  {MP, &SorviInstance::mainPanel},
};

// The first n characters (not bytes) of a UTF-8 text.
std::string_view firstCharacters(std::string_view text, int n) {
    std::size_t i = 0;
    for (int count = 0; count < n && i < text.size(); ++count) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
}

// Offsets the main panel so that several modules' windows do not cover one
// another, and sets its window attributes.
int placeMainPanel(SorviInstance& inst) {
    inst.panelSlot = static_cast<std::int16_t>(inst.mezIndex);
    if (inst.panelSlot != 0) {
        const int shift = (inst.panelSlot % 10) * 20;
        int top = 0;
        int left = 0;
        tk::getPanelAttribute(inst.mainPanel, tk::ATTR_TOP, top);
        tk::getPanelAttribute(inst.mainPanel, tk::ATTR_LEFT, left);
        tk::setPanelAttribute(inst.mainPanel, tk::ATTR_TOP, top + shift);
        tk::setPanelAttribute(inst.mainPanel, tk::ATTR_LEFT, left + shift);
    }
    int status = tk::setPanelAttribute(inst.mainPanel, kWindowAttributeA, 0);
    if (status < 0) return status;
    return tk::setPanelAttribute(inst.mainPanel, kWindowAttributeB, 0);
}

int titlePanels(SorviInstance& inst) {
    int panels[9];
    instancePanels(inst, panels);
    for (int panel : panels) {
        int status = tk::setPanelCallbackData(panel, &inst);
        if (status < 0) return status;
        std::string title;
        status = tk::getPanelAttribute(panel, tk::ATTR_TITLE, title);
        if (status < 0) return status;
        status = tk::setPanelAttribute(panel, tk::ATTR_TITLE,
                                       buildPanelTitle(title, inst.crate, inst.slot, inst.mezIndex));
        if (status < 0) return status;
    }
    return 0;
}

void fillStartValues(SorviInstance& inst) {
    const int mp = inst.mainPanel;
    tk::setValue(mp, MP_K, inst.crate);
    tk::setValue(mp, MP_S, inst.slot);
    tk::setValue(mp, MP_MEZ_NUM, inst.mezIndex);
    tk::setValue(mp, MP_BASE_MEM, inst.memorySize);
    tk::setAttribute(mp, MP_D_SHOW_RES, kDecorationAttribute, 0);
    tk::setAttribute(mp, MP_D_FILE_NAME, kDecorationAttribute, 0);
    for (int trace = 1; trace <= kChartTraces; ++trace) {
        tk::setTraceAttribute(inst.chartPanel, SP_STRIPCHART, trace, kTraceAttribute, 0);
    }

    char driverRevision[LUMEX_TEXT_SIZE] = {};
    char instrumentRevision[LUMEX_TEXT_SIZE] = {};
    lumex_revision_query(inst.session, driverRevision, instrumentRevision);
    tk::setValue(inst.aboutPanel, ABOUT_DRVR_VERSION, tk::fromCp1251(driverRevision));
    tk::setValue(inst.aboutPanel, ABOUT_SOFT_VERSION, kSorviVersion);

    std::string fileName;
    tk::getValue(mp, MP_FILE_NAME, fileName);
    std::snprintf(inst.fileName, sizeof inst.fileName, "%s", fileName.c_str());
    inst.writeFile = strcasecmp(inst.fileName, "nul") != 0 ? 1 : 0;
}

}  // namespace

std::string buildPanelTitle(std::string_view title, int crate, int slot, int mezIndex) {
    static constexpr std::string_view kProduct = "СОРВИ";
    std::string result(title);
    if (!title.starts_with(firstCharacters(kProduct, 4))) {
        result += " ";
        result += kProduct;
    }
    char suffix[96];
    std::snprintf(suffix, sizeof suffix, " крейт %d, слот %d, М-Модуль %d", crate, slot, mezIndex);
    result += suffix;
    return result;
}

void instancePanels(const SorviInstance& inst, int (&panels)[9]) {
    for (int i = 0; i < 9; ++i) panels[i] = inst.*kLoadOrder[i].field;
}

void discardInstancePanels(SorviInstance& inst) {
    for (const PanelSlot& slot : kLoadOrder) {
        std::int32_t& handle = inst.*slot.field;
        if (handle > 0 && tk::panelExists(handle)) tk::discardPanel(handle);
        handle = 0;
    }
    inst.scrollBar = 0;  // went with the results panel
    inst.panelsLoaded = 0;
}

int loadInstancePanels(SorviInstance& inst) {
    registerSorviResource();
    for (const PanelSlot& slot : kLoadOrder) {
        const int handle = tk::loadPanel(0, SORVI_RESOURCE, slot.id, &sorviBindings());
        if (handle < 0) {
            discardInstancePanels(inst);
            return -1;
        }
        inst.*slot.field = handle;
    }
    int status = placeMainPanel(inst);
    if (status >= 0) status = titlePanels(inst);
    if (status < 0) {
        discardInstancePanels(inst);
        return status;
    }
    fillStartValues(inst);
    return 0;
}
