#pragma once

#include <QString>

#include <functional>

class QMenuBar;

// Adds to the menu bar, in their order, the site's entry and the Aide menu, whose four entries
// each show an information box through `inform` (title, text).
void addHelpMenus(QMenuBar &bar,
                  const std::function<void(const QString &title, const QString &text)> &inform);
