#include "color/StrFuncs.h"

QStringList SplitFields(const QString& text, QChar separator) {
    QStringList fields;
    QString field;
    for (QChar c : text) {
        if (c == separator) {
            fields.append(field);
            field.clear();
        } else {
            field.append(c);
        }
    }
    fields.append(field);
    return fields;
}
