#include "host_panel.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include <paneltk/paneltk.h>

#include "benchwin.h"
#include "host_uir.h"
#include "plugin_loader.h"
#include "tarvo_32.h"

namespace host {
namespace {

constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kYellow = 0xFFFF00;
constexpr unsigned kRed = 0xFF0000;

HostPanel* hostOf(void* callbackData) { return static_cast<HostPanel*>(callbackData); }

int selCarrier(int panel, int control, int event, void* data, int, int) {
    if (event != tk::EVENT_COMMIT || data == nullptr) return 0;
    int index = kNoCarrier;
    if (tk::getValue(panel, control, index) < 0) return 0;
    hostOf(data)->chooseCarrier(index);
    return 0;
}

// A click or the arrow keys highlight a position (and Enter commits it),
// which only says whether "Открыть" applies; a double-click opens it.
int selPosition(int panel, int control, int event, void* data, int, int) {
    if (data == nullptr) return 0;
    if (event == tk::EVENT_VAL_CHANGED || event == tk::EVENT_COMMIT) {
        hostOf(data)->positionHighlighted();
    } else if (event == tk::EVENT_LEFT_DOUBLE_CLICK) {
        int position = 0;
        if (tk::getValue(panel, control, position) == tk::OK) hostOf(data)->openPosition(position);
    }
    return 0;
}

int openMezonin(int panel, int, int event, void* data, int, int) {
    if (event != tk::EVENT_COMMIT || data == nullptr) return 0;
    int position = 0;
    if (tk::getValue(panel, HOST_POSITIONS, position) != tk::OK) {
        hostOf(data)->setStatus("Выберите позицию мезонина", StatusKind::Warning);
        return 0;
    }
    hostOf(data)->openPosition(position);
    return 0;
}

int openDemo(int panel, int, int event, void* data, int, int) {
    if (event != tk::EVENT_COMMIT || data == nullptr) return 0;
    int position = 1;
    if (tk::getValue(panel, HOST_DEMO_POS, position) != tk::OK) return 0;
    hostOf(data)->openDemo(position);
    return 0;
}

int hostExit(int, int, int event, void* data, int, int) {
    if (event != tk::EVENT_COMMIT || data == nullptr) return 0;
    hostOf(data)->requestExit();
    return 0;
}

int showBench(int, int, int event, void* data, int, int) {
    if (event != tk::EVENT_COMMIT || data == nullptr) return 0;
    if (benchwin::showBenchWindow() < 0) hostOf(data)->setStatus("Окно стенда не открылось", StatusKind::Error);
    return 0;
}

const tk::Bindings& hostBindings() {
    static const tk::Bindings bindings{
        {"selCarrier", selCarrier}, {"selPosition", selPosition}, {"openMezonin", openMezonin},
        {"openDemo", openDemo},     {"hostExit", hostExit},       {"showBench", showBench},
    };
    return bindings;
}

std::string hex(ViStatus status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

}  // namespace

std::string carrierStatusText(ViStatus status) {
    std::array<ViChar, 256> text{};
    if (tarvo_error_message(VI_NULL, status, text.data()) < VI_SUCCESS || text[0] == '\0') return "код " + hex(status);
    text.back() = '\0';
    // The carrier driver's texts are Windows-1251, like every driver text.
    return tk::fromCp1251(text.data()) + " (" + hex(status) + ")";
}

HostPanel::HostPanel(SorviPlugin& plugin) : plugin_(plugin) {}

HostPanel::~HostPanel() { shutdown(); }

int HostPanel::create() {
    if (panel_ > 0) return panel_;
    int status = tk::registerResource(hostResource());
    if (status < 0) return status;
    const int panel = tk::loadPanel(0, kHostResource, HOST, &hostBindings());
    if (panel < 0) return panel;
    panel_ = panel;
    tk::setPanelCallbackData(panel_, this);
    tk::displayPanel(panel_);
    if (!plugin_.loaded()) {
        setStatus("Панель мезонина недоступна: " + plugin_.error(), StatusKind::Error);
    }
    return panel_;
}

void HostPanel::setCarriers(std::vector<discovery::CarrierInfo> carriers, ViStatus discoveryStatus) {
    fillCarriers(std::move(carriers), discoveryStatus);
    // A missing plug-in matters more to the operator than what was found.
    if (!plugin_.loaded()) setStatus("Панель мезонина недоступна: " + plugin_.error(), StatusKind::Error);
}

void HostPanel::fillCarriers(std::vector<discovery::CarrierInfo> carriers, ViStatus discoveryStatus) {
    carriers_ = std::move(carriers);
    tk::clearItems(panel_, HOST_CARRIER);
    if (carriers_.empty()) {
        tk::insertItem(panel_, HOST_CARRIER, -1, "нет носителей", kNoCarrier);
        tk::setAttribute(panel_, HOST_CARRIER, tk::ATTR_DIMMED, 1);
        chooseCarrier(kNoCarrier);
        if (discoveryStatus < VI_SUCCESS)
            setStatus("Поиск инструментов не удался (" + hex(discoveryStatus) + "). Доступен демо-режим.",
                      StatusKind::Warning);
        else setStatus("Инструмент не найден. Доступен демо-режим.", StatusKind::Warning);
        return;
    }
    tk::setAttribute(panel_, HOST_CARRIER, tk::ATTR_DIMMED, 0);
    if (carriers_.size() > 1) tk::insertItem(panel_, HOST_CARRIER, -1, "— выберите носитель —", kNoCarrier);
    for (std::size_t k = 0; k < carriers_.size(); ++k)
        tk::insertItem(panel_, HOST_CARRIER, -1, carriers_[k].label, static_cast<double>(k));
    if (carriers_.size() == 1) {
        tk::setValue(panel_, HOST_CARRIER, 0);
        chooseCarrier(0);
    } else {
        chooseCarrier(kNoCarrier);
        setStatus("Найдено носителей: " + std::to_string(carriers_.size()) + ". Выберите носитель.", StatusKind::Info);
    }
}

void HostPanel::chooseCarrier(int index) {
    chosen_ = -1;
    session_ = 0;
    positions_ = {};
    if (index >= 0 && static_cast<std::size_t>(index) < carriers_.size()) {
        const discovery::CarrierInfo& carrier = carriers_[index];
        ViSession session = 0;
        const ViStatus opened = sessions_.open(carrier.resourceName, session);
        if (opened < VI_SUCCESS) {
            setStatus("Носитель " + carrier.resourceName + " не открыт: " + carrierStatusText(opened),
                      StatusKind::Error);
        } else {
            chosen_ = index;
            session_ = session;
            const ViStatus read = discovery::readPositions(session_, positions_);
            const int sorvi = static_cast<int>(std::count_if(
                positions_.begin(), positions_.end(), [](const discovery::PositionInfo& p) { return p.isSorvi(); }));
            if (read < VI_SUCCESS)
                setStatus("Позиции носителя не прочитаны: " + carrierStatusText(read), StatusKind::Error);
            else if (sorvi == 0) setStatus("нет наших мезонинов на базе", StatusKind::Warning);
            else setStatus("Носитель открыт, модулей СОРВИ: " + std::to_string(sorvi), StatusKind::Info);
        }
    }
    showPositions();
}

void HostPanel::showPositions() {
    tk::clearItems(panel_, HOST_POSITIONS);
    if (chosen_ >= 0) {
        for (int k = 0; k < discovery::kPositions; ++k)
            tk::insertItem(panel_, HOST_POSITIONS, -1, discovery::positionText(k + 1, positions_[k]), k + 1);
        // Highlight the first SORVI position, so "open" needs one press.
        const auto first = std::find_if(positions_.begin(), positions_.end(),
                                        [](const discovery::PositionInfo& p) { return p.isSorvi(); });
        tk::setIndex(panel_, HOST_POSITIONS, first == positions_.end() ? 0 : int(first - positions_.begin()));
    }
    positionHighlighted();
}

void HostPanel::positionHighlighted() {
    int position = 0;
    const bool sorvi = chosen_ >= 0 && tk::getValue(panel_, HOST_POSITIONS, position) == tk::OK && position >= 1 &&
                       position <= discovery::kPositions && positions_[position - 1].isSorvi();
    tk::setAttribute(panel_, HOST_OPEN, tk::ATTR_DIMMED, sorvi ? 0 : 1);
}

void HostPanel::openPosition(int position) {
    if (chosen_ < 0) {
        setStatus("Выберите носитель", StatusKind::Warning);
        return;
    }
    if (position < 1 || position > discovery::kPositions || !positions_[position - 1].isSorvi()) {
        setStatus("В позиции " + std::to_string(position) + " нет модуля СОРВИ", StatusKind::Warning);
        return;
    }
    openInstance(session_, carriers_[chosen_].resourceName, position);
}

void HostPanel::openDemo(int position) {
    if (position < 1 || position > discovery::kPositions) {
        setStatus("Позиция мезонина должна быть от 1 до 4", StatusKind::Warning);
        return;
    }
    openInstance(0, {}, position);
}

void HostPanel::openInstance(ViSession carrier, const std::string& carrierName, int position) {
    if (exitRequested_) return;
    if (!plugin_.loaded()) {
        setStatus("Панель мезонина недоступна: " + plugin_.error(), StatusKind::Error);
        return;
    }
    // The plug-in keeps one instance per position number, whatever the
    // carrier, so a second panel for a position already shown is refused;
    // the same one is shown again instead.
    const auto same = std::find_if(instances_.begin(), instances_.end(),
                                   [&](const OpenInstance& i) { return i.position == position; });
    if (same != instances_.end()) {
        if (same->carrier == carrierName) {
            plugin_.display(same->handle);
            setStatus("Панель мезонина " + std::to_string(position) + " уже открыта", StatusKind::Info);
        } else {
            setStatus("Позиция " + std::to_string(position) + " уже открыта " +
                          (same->carrier.empty() ? std::string("в демо-режиме") : "на " + same->carrier),
                      StatusKind::Warning);
        }
        return;
    }

    sorvi_handle handle = panel_;  // the host's panel on entry, the instance on return
    const ViInt32 initStatus = plugin_.init(carrier, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &handle);
    if (initStatus < 0 || handle == 0) {
        setStatus("Панель мезонина " + std::to_string(position) + " не открыта: " + hex(initStatus), StatusKind::Error);
        return;
    }
    const int id = nextInstanceId_++;
    instances_.push_back({id, carrierName, position, handle});
    setStatus((carrier == 0 ? "Демо-режим, позиция " : "Открыта панель мезонина ") + std::to_string(position),
              StatusKind::Info);

    // Runs until the instance ends; host callbacks (and other instances)
    // keep running inside.
    const ViInt32 displayStatus = plugin_.display(handle);
    // A first display that failed leaves the instance (and its module
    // session) alive: it is closed, so a second try can open the position.
    if (displayStatus != 0) plugin_.close(&handle);

    std::erase_if(instances_, [id](const OpenInstance& i) { return i.id == id; });
    if (!tk::panelExists(panel_)) return;
    tk::displayPanel(panel_);
    if (displayStatus != 0)
        setStatus("Панель мезонина " + std::to_string(position) + " не показана: " + hex(displayStatus),
                  StatusKind::Error);
    else setStatus("Панель мезонина " + std::to_string(position) + " закрыта", StatusKind::Info);
}

void HostPanel::requestExit() {
    exitRequested_ = true;
    // Each loop ends on its next turn; the innermost first, and so outwards.
    for (const OpenInstance& instance : instances_) {
        sorvi_handle handle = instance.handle;
        plugin_.close(&handle);
    }
}

void HostPanel::run() {
    while (!exitRequested_) {
        tk::processEvents();
        tk::waitEvents(0.05);
    }
}

ViStatus HostPanel::shutdown() {
    if (!instances_.empty() && plugin_.loaded()) requestExit();
    if (panel_ > 0) {
        tk::discardPanel(panel_);
        panel_ = 0;
    }
    return sessions_.closeAll();
}

void HostPanel::setStatus(const std::string& text, StatusKind kind) {
    if (panel_ <= 0) return;
    tk::setValue(panel_, HOST_STATUS, text);
    const unsigned colour = kind == StatusKind::Error ? kRed : kind == StatusKind::Warning ? kYellow : kWhite;
    tk::setAttribute(panel_, HOST_STATUS, tk::ATTR_TEXT_BGCOLOR, static_cast<int>(colour));
}

}  // namespace host
