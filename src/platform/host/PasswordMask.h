// Password boxes that hide each character behind "*", whatever mask the desktop style uses.
#pragma once

class QLineEdit;
class QStyle;

namespace host {

/// A new style, based on the desktop's own, whose password boxes show "*" (for
/// QApplication::setStyle, which takes ownership).
QStyle* newAsteriskStyle();

/// Makes one password box show "*" for each hidden character.
void maskWithAsterisks(QLineEdit& box);

} // namespace host
