// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the game's accessibility shared between its files: the
// interfaces Qt is handed for the window, its frames and the painted
// controls, and the words they are spoken in.

#include <QAccessibleInterface>
#include <QString>
#include <array>
#include <cstddef>
#include <string_view>

class QObject;

namespace window {

class Accessibility;

inline QString fromUtf8(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// What a reel says while the spin pictures show in its place.
const QString& spinningName();

// Short descriptions of the pictures a player sees, by their art.
QString pictureDescription(std::string_view art, const std::array<QString, 10>& symbols);

// Qt asks this for every object's interface, most derived class first; it
// answers for the game window and its frames and leaves the buttons to Qt.
QAccessibleInterface* gameInterfaces(const QString& className, QObject* object);

// The interface of the painted control `index` of the game's items.
QAccessibleInterface* newItemNode(Accessibility& game, std::size_t index);

}  // namespace window
