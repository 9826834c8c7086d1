#pragma once

class QMessageBox;

// Widens a message box, when its text is short, so that a window manager's title bar has room
// for its whole title beside its buttons: "Exercice terminé." alone would leave "Pl… to" of
// "Plumetto". Called before the box is shown.
void makeRoomForTitle(QMessageBox &box);
