#include "color/ColorModel.h"

#include "color/ConvertBase.h"

TColorModel::TColorModel(ColorViews& views, QObject* parent) : QObject(parent), m_views(views) {}

void TColorModel::ChangeOne() {
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        QString t = m_views.hexBox(i);
        if (t.isEmpty())
            t = QStringLiteral("00");
        else if (t.size() == 1)
            t.prepend(QLatin1Char('0'));
        m_views.setHexBox(i, t);
        m_views.setDecBox(i, ConvertBase(t, 16, 10));
        hex[i] = t;
    }
    for (int i = 0; i < 3; ++i) {
        if (m_views.decBox(i).isEmpty())
            m_views.setDecBox(i, QStringLiteral("0"));
    }
    commonTail(hex);
}

void TColorModel::ChangeTwo() {
    for (int i = 0; i < 3; ++i) {
        if (m_views.decBox(i).isEmpty())
            m_views.setDecBox(i, QStringLiteral("0"));
    }
    for (int i = 0; i < 3; ++i)
        m_views.setHexBox(i, ConvertBase(m_views.decBox(i), 10, 16));
    for (int i = 0; i < 3; ++i) {
        if (m_views.hexBox(i).isEmpty())
            m_views.setHexBox(i, QStringLiteral("00"));
    }
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        hex[i] = m_views.hexBox(i);
        if (hex[i].size() == 1)
            hex[i].prepend(QLatin1Char('0')); // for the views only; the box keeps one digit
    }
    commonTail(hex);
}

void TColorModel::commonTail(const ComponentTexts& hex) {
    m_packedColor = QStringLiteral("$00") + hex[2] + hex[1] + hex[0];
    m_views.showHexText(QLatin1Char('#') + hex[0] + hex[1] + hex[2]);
    const PackedColor packed = packedValue();
    m_views.showSwatch(packed);
    m_views.selectNamedColor(packed);
    m_views.showDecText(m_views.decBox(0) + QLatin1Char(',') + m_views.decBox(1) +
                        QLatin1Char(',') + m_views.decBox(2));
    emit changed();
}

void TColorModel::writeHexBoxes(const ComponentTexts& hex) {
    for (int i = 0; i < 3; ++i)
        m_views.setHexBox(i, hex[i]);
}

void TColorModel::applyHex(const ComponentTexts& hex) {
    writeHexBoxes(hex);
    ChangeOne();
}

void TColorModel::applyPacked(PackedColor color) {
    applyHex({hexPair(redOf(color)), hexPair(greenOf(color)), hexPair(blueOf(color))});
}

PackedColor TColorModel::packedValue() const {
    bool ok = false;
    const PackedColor packed = m_packedColor.mid(1).toUInt(&ok, 16);
    return ok ? packed : 0;
}

QString TColorModel::hexText() const {
    return QLatin1Char('#') + m_packedColor.mid(7, 2) + m_packedColor.mid(5, 2) +
           m_packedColor.mid(3, 2);
}

TColorModel::Boxes TColorModel::boxes() const {
    Boxes now;
    for (int i = 0; i < 3; ++i) {
        now.hex[i] = m_views.hexBox(i);
        now.dec[i] = m_views.decBox(i);
    }
    return now;
}

void TColorModel::restore(const Boxes& boxes) {
    ComponentTexts hex;
    for (int i = 0; i < 3; ++i) {
        m_views.setHexBox(i, boxes.hex[i]);
        m_views.setDecBox(i, boxes.dec[i]);
        hex[i] = boxes.hex[i].rightJustified(2, QLatin1Char('0'));
    }
    commonTail(hex);
}
