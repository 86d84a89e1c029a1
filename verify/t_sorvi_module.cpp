// Opening the chosen carrier, listing its SORVI positions and opening a
// driver session for the position the operator picks.
#include <paneltk/paneltk.h>

#include <vector>

#include "chklog.h"
#include "lumex.h"
#include "si.h"
#include "t_sorvi.h"
#include "tarvo_32.h"
#include "text_format.h"
#include "verisk_uir.h"
#include "visa.h"

namespace {

constexpr ViInt32 kMemoryShareDivisor = 16;  // a quarter of the carrier memory, in 4-byte samples

// Crate address and slot of the open carrier. A Kubolt box stands alone and
// has neither, so it is taken as crate 0, slot 0.
bool readCarrierPlace() {
    ViUInt16 intfType = 0;
    if (viGetAttribute(carrierSession, VI_ATTR_INTF_TYPE, &intfType) >= VI_SUCCESS &&
        (intfType == VI_INTF_USB || intfType == VI_INTF_TCPIP)) {
        crateLA = 0;
        slot = 0;
        return true;
    }
    ViInt16 mainframe = 0;
    ViInt16 carrierSlot = 0;
    if (viGetAttribute(carrierSession, VI_ATTR_MAINFRAME_LA, &mainframe) < VI_SUCCESS) return false;
    if (viGetAttribute(carrierSession, VI_ATTR_SLOT, &carrierSlot) < VI_SUCCESS) return false;
    crateLA = static_cast<std::uint16_t>(mainframe);
    slot = static_cast<std::uint16_t>(carrierSlot);
    return true;
}

// The protocol names the position shown in MP_MEZ_NUM, also when opening it
// failed half-way: a step run then must not go into a protocol titled with
// the position left before. A protocol still open under another title
// belongs to that position and is closed; the next step opens a new one.
void titleProtocolFor(std::uint16_t shown) {
    const std::string title = formatBounded(kTitleChars, "Протокол поверки мезонина СОРВИ крейт %d,слот %d,мезонин %d",
                                            static_cast<int>(crateLA), static_cast<int>(slot), static_cast<int>(shown));
    if (title != protocolTitle && protocolOpen()) closeProtocol();
    protocolTitle = title;
}

}  // namespace

int defMezonin(ViSession carrier, std::array<std::int32_t, 4>& types) {
    types = {};  // a failed query leaves no type of an earlier carrier behind
    for (ViInt16 pos = 1; pos <= 4; ++pos) {
        ViInt16 present = 0;
        ViInt16 type = 0;
        const ViStatus status = tarvo_m_type_q(carrier, pos, &present, &type);
        if (status < VI_SUCCESS) return status;
        types[pos - 1] = present ? type : 0;
    }
    return 0;
}

void SelMez() {
    if (CurrentInstr == nullptr) return;
    std::vector<char> name(CurrentInstr->rsrcName.begin(), CurrentInstr->rsrcName.end());
    name.push_back('\0');
    // Opening a carrier with its identification and reset takes a while: the
    // selection dialog is gone from the screen first.
    tk::drawPendingChanges();
    ViSession session = 0;
    if (tarvo_init(name.data(), VI_TRUE, VI_TRUE, &session) < VI_SUCCESS) {
        carrierSession = 0;
        tk::messagePopup("",
                         "          Ошибка инициализации.\nУстройство занято либо не сконфигурировано\n"
                         "          Менеджером Ресурсов.");
        return;
    }
    carrierSession = session;
    CurrentInstr->carrierSession = carrierSession;
    // A failed query leaves its position without a type; the positions that
    // answered are still offered.
    defMezonin(carrierSession, mezonin);

    tk::clearItems(hMP, MP_MEZ_NUM);
    int items = 0;
    for (int pos = 1; pos <= 4; ++pos) {
        if (mezonin[pos - 1] != kSorviTypeCode) continue;
        tk::insertItem(hMP, MP_MEZ_NUM, -1, formatBounded(15, "%d", pos), pos);
        ++items;
    }
    if (items == 0) {
        tk::messagePopup("", "нет наших мезонинов на базе");
        return;
    }
    tk::setActiveControl(hMP, MP_MEZ_NUM);
    tk::setValue(hMP, MP_ERROR_MESSAGE, "Идет инициализация");
    tk::setAttribute(hMP, MP_ERROR_MESSAGE, tk::ATTR_TEXT_BGCOLOR, static_cast<int>(kWhite));
    tk::displayPanel(hMP);
    selMezonin(hMP, MP_MEZ_NUM, tk::EVENT_COMMIT, nullptr, 0, 0);
}

int selMezonin(int, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    writeStatusLine("Идет инициализация");
    tk::displayPanel(hMP);
    // Closing and opening a module with its reset block: the line is on
    // screen before they start.
    tk::drawPendingChanges();

    if (moduleSession != 0) {
        if (checkErr(lumex_close(moduleSession)) < VI_SUCCESS) return 0;
        moduleSession = 0;
        closeProtocol();
    }

    unsigned short chosen = 0;
    tk::getValue(hMP, MP_MEZ_NUM, chosen);
    position = chosen;

    ViSession session = 0;
    if (lumex_init(carrierSession, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &session) != VI_SUCCESS)
        tk::messagePopup("", "Ошибка инициализации");
    moduleSession = session;

    const bool placed = carrierSession == 0 || readCarrierPlace();
    titleProtocolFor(position);
    if (!placed) {
        if (moduleSession != 0) lumex_close(moduleSession);
        moduleSession = 0;
        return 0;
    }

    if (moduleSession != 0) {
        ViUInt32 bytes = 0;
        if (checkErr(tarvo_mem_q(carrierSession, &bytes)) < VI_SUCCESS) return 0;
        const auto samples = static_cast<ViInt32>(bytes / static_cast<ViUInt32>(kMemoryShareDivisor));
        if (checkErr(lumex_alloc(moduleSession, samples)) < VI_SUCCESS) return 0;
    }
    if (checkErr(lumex_mask_interrupt(moduleSession, VI_FALSE)) < VI_SUCCESS) return 0;

    tk::resetPanel(hMP);
    tk::setValue(hMP, MP_K, static_cast<unsigned>(crateLA));
    tk::setValue(hMP, MP_S, static_cast<unsigned>(slot));
    tk::setValue(hMP, MP_MEZ_NUM, static_cast<unsigned>(position));

    protocolPath.clear();
    return 0;
}
