#include "ui/strip_quantity_menu.h"


#include <QAction>
#include <QActionGroup>
#include <QSettings>

#include "ui/analysis_strings.h"
#include "ui/overview_strip.h"
#include "ui/ui_language.h"
#include "ui/ui_strings.h"

namespace orvanta {

CStripQuantityMenu::CStripQuantityMenu(COverviewStrip* strip) : QObject(strip), strip_(strip) {
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* heading = new QAction(text::Tr(text::kStripQuantity), this);
    heading->setEnabled(false);
    strip_->addAction(separator);
    strip_->addAction(heading);
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const UiLanguage language = CurrentUiLanguage();
    for (OverviewQuantity quantity : kOverviewQuantities) {
        auto* action = new QAction(QString::fromStdString(QuantityCaption(language, quantity)), group);
        action->setObjectName(QStringLiteral("stripQuantity_") + QString::fromStdString(QuantityKey(quantity)));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, quantity] { Choose(quantity); });
        strip_->addAction(action);
        actions_.push_back(action);
    }
    const OverviewQuantity remembered = Remembered();
    ActionOf(remembered)->setChecked(true);
    strip_->SetQuantity(remembered);
}

QAction* CStripQuantityMenu::ActionOf(OverviewQuantity quantity) const {
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        if (kOverviewQuantities[i] == quantity) return actions_[i];
    }
    return actions_.front();
}

void CStripQuantityMenu::Choose(OverviewQuantity quantity) {
    ActionOf(quantity)->setChecked(true);
    strip_->SetQuantity(quantity);
    QSettings().setValue(QLatin1String(kSettingsKey), QString::fromStdString(QuantityKey(quantity)));
}

OverviewQuantity CStripQuantityMenu::Remembered() {
    return QuantityOfKey(QSettings().value(QLatin1String(kSettingsKey)).toString().toStdString());
}

}  // namespace orvanta
