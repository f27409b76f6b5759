#include "ui/qt/qt_file_filter.h"

namespace ui::qt {

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i].trimmed();
        QStringList trimmed;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!p.trimmed().isEmpty()) trimmed << p.trimmed();
        }
        if (trimmed.isEmpty()) trimmed << QStringLiteral("*");
        // The label's own "(*.ext)" is display text; Qt reads the patterns
        // from the last parentheses, so they must be the real ones.
        if (label.endsWith(QLatin1Char(')'))) {
            const qsizetype open = label.lastIndexOf(QLatin1Char('('));
            if (open >= 0) label = label.left(open).trimmed();
        }
        const QString joined = trimmed.join(QLatin1Char(' '));
        result << (label.isEmpty() ? joined : label + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    return result;
}

QString SuffixOfFilter(const QString& nameFilter, const QString& fallback) {
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open) return fallback;
    const QString first = nameFilter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QStringLiteral("*.")) || first.size() < 3) return fallback;
    const QString extension = first.mid(2);
    for (QChar c : extension) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('.') || c == QLatin1Char('[')) return fallback;
    }
    return extension;
}

}  // namespace ui::qt
