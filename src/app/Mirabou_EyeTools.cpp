#include "app/Mirabou_Main.h"

#include "eyedropper/EyeWizard.h"
#include "files/IniFile.h"
#include "i18n/EyeToolTexts.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

// The Eye Wizard's tools in the main window: the Sample Size menu of the
// settings popup.

void TForm1::buildSampleMenu() {
    SampleSize1 = new QMenu(QStringLiteral("Sample Size"), this);
    SampleSize1->setObjectName(QStringLiteral("SampleSize1"));
    auto* sizes = new QActionGroup(SampleSize1);
    for (const int across : settings::SampleSizes) {
        auto* item = new QAction(SampleSize1);
        item->setObjectName(QStringLiteral("Sample%1x%1").arg(across));
        item->setData(across);
        item->setCheckable(true);
        sizes->addAction(item);
        SampleSize1->addAction(item);
        connect(item, &QAction::triggered, this, [this, across] { SampleSizeClick(across); });
    }
    PopupMenu1->addMenu(SampleSize1);
}

void TForm1::readEyeToolOptions(const files::IniFile& file) {
    const int across = settings::readSampleSize(file);
    m_eyeWizard->setSampleSize(across);
    for (QAction* item : SampleSize1->actions())
        item->setChecked(item->data().toInt() == across);
}

void TForm1::applyEyeToolTexts(const files::IniFile& file) {
    SampleSize1->setTitle(i18n::readText(file, i18n::SampleSizeText));
    const QString area = i18n::readText(file, i18n::SampleAreaText);
    for (QAction* item : SampleSize1->actions()) {
        const int across = item->data().toInt();
        item->setText(across == 1
                          ? i18n::readText(file, i18n::SinglePixelText)
                          : QString(area).replace(QLatin1String("%1"), QString::number(across)));
    }
}

int TForm1::checkedSampleSize() const {
    for (const QAction* item : SampleSize1->actions()) {
        if (item->isChecked())
            return item->data().toInt();
    }
    return 1;
}

void TForm1::SampleSizeClick(int across) {
    m_eyeWizard->setSampleSize(across);
    keepOptions();
}
