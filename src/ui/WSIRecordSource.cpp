#include "WSIRecordSource.h"

QString WSIRecordSource::DisplayText(const WSIRecord& record, int field,
                                     const WSIFieldDef& def) const {
    const QString v = record.Value(field);
    switch (def.kind) {
    case WSIFieldDef::Kind::Flag:
        return v == QLatin1String("1") ? QStringLiteral("Yes") : QString();
    case WSIFieldDef::Kind::Choice:
        for (const auto& [text, value] : def.choices)
            if (QString::number(value) == v)
                return text;
        return v;
    default:
        return v;
    }
}
