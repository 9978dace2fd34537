// CStripQuantityMenu: the overview strip's choice of quantity in its context
// menu (RMS voltage, RMS current, THD-F of the voltage and of the current,
// power factor), one checked entry at a time. The choice is remembered in the
// user's settings (QSettings) and given to every new window's strip.
#pragma once

#include <vector>

#include <QObject>

#include "dialogcore/overview_quantity.h"

class QAction;

namespace orvanta {

class COverviewStrip;

class CStripQuantityMenu : public QObject {
    Q_OBJECT

public:
    // The settings key the choice is kept under.
    static constexpr const char kSettingsKey[] = "overview/quantity";

    // Adds the entries to `strip`'s context menu and applies the remembered
    // choice; `strip` owns this.
    explicit CStripQuantityMenu(COverviewStrip* strip);

    // Chooses a quantity as its entry does: drawn and remembered.
    void Choose(OverviewQuantity quantity);
    QAction* ActionOf(OverviewQuantity quantity) const;

    // The remembered choice (the RMS voltage when none is).
    static OverviewQuantity Remembered();

private:
    COverviewStrip* strip_;
    std::vector<QAction*> actions_;  // in the order of kOverviewQuantities
};

}  // namespace orvanta
