// The program's file filters ("label|pattern|label|pattern|", patterns
// separated by ';') as the name filters of Qt's file dialog.
#pragma once

#include <QStringList>

#include <string>

namespace ui::qt {

// One Qt name filter per pair, "label (pattern pattern)"; a label that
// already ends in its pattern in parentheses keeps only the one. A pair
// without a pattern shows every file, so that positions stay those of the
// pairs.
QStringList NameFilters(const std::string& filter);

// The extension a name typed without one gets under this name filter: the
// filter's first pattern when it is a plain "*.ext", else `fallback`.
QString SuffixOfFilter(const QString& nameFilter, const QString& fallback);

}  // namespace ui::qt
