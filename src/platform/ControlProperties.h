#pragma once

class QObject;

// Reaches a control's position, size, end points and font size by name, in twips and points.
// A control that lacks the property answers false, as an unsupported property would.
enum class Property { Top, Left, Height, Width, FontSize, Y1, X1, Y2, X2 };

bool ReadProperty(const QObject* control, Property property, double& value);
bool WriteProperty(QObject* control, Property property, double value);
