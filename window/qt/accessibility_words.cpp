// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRegularExpression>
#include <QStringList>

#include "game/prize_table.h"
#include "window/qt/accessibility.h"
#include "window/qt/accessibility_parts.h"

// The words the game is spoken in: the symbols' names, the labels' texts as
// lines, the pictures' descriptions.

namespace window {

const QString& spinningName() {
  static const QString name = QStringLiteral("Вращается");
  return name;
}

// Short descriptions of the pictures a player sees, by their art.
QString pictureDescription(std::string_view art, const std::array<QString, 10>& symbols) {
  if (art == "title")
    return QStringLiteral(
               "Новогодняя картинка: %1, %2, %3 и %4 в праздничных костюмах, "
               "с подарком, у их ног двое %5")
        .arg(symbols[4], symbols[5], symbols[6], symbols[7], symbols[3]);
  if (art == "logo.maker") return QStringLiteral("Логотип KESTRANO");
  if (art == "logo.second") return QStringLiteral("Логотип SNEGIR");
  if (art == "burst") return QStringLiteral("Сияние на голубом фоне");
  for (int d = 0; d < 10; ++d)
    if (art == "symbol" + std::to_string(d)) return symbols[static_cast<std::size_t>(d)];
  return QStringLiteral("Картинка");
}

std::array<QString, 10> symbolNames(std::string_view prizeTableText) {
  std::array<QString, 10> names;
  for (int d = 0; d < 10; ++d) names[static_cast<std::size_t>(d)] = QString::number(d);
  // "Name Name Name = х<rings>", with the Cyrillic х.
  static const QRegularExpression threeOfAKind(QStringLiteral("^(\\S+) \\1 \\1 = х(\\d+)$"),
                                               QRegularExpression::UseUnicodePropertiesOption);
  for (const QString& line : spokenText(prizeTableText).split(QLatin1Char('\n'))) {
    const QRegularExpressionMatch m = threeOfAKind.match(line);
    if (!m.hasMatch()) continue;
    const int rings = m.captured(2).toInt();
    for (const game::PrizeRule& rule : game::kPrizeTable) {
      if (rule.combination == game::PrizeRule::Combination::AllThree && rule.award == rings)
        names[static_cast<std::size_t>(rule.symbol)] = m.captured(1);
    }
  }
  return names;
}

QString spokenText(std::string_view caption) {
  static const QRegularExpression lineBreaks(QStringLiteral("\\s*\\n\\s*| {2,}"));
  QStringList lines;
  for (const QString& line : fromUtf8(caption).split(lineBreaks)) {
    const QString trimmed = line.trimmed();
    if (!trimmed.isEmpty()) lines.push_back(trimmed);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace window
