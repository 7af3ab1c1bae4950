// The pictures of the start-up windows, drawn rather than stored.
#pragma once

#include <QBrush>
#include <QIcon>
#include <QPixmap>

namespace pictures {

QPixmap splash();
QIcon okButton();
QIcon cancelButton();
QIcon continueButton();
/// The background brush of the first-use window, for a window of that height.
QBrush firstUseBackground(int height);

} // namespace pictures
