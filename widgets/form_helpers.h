// Helpers several windows share: screen units, centring, keeping a window on
// top, and waiting for a window (found by its caption) to close.
#pragma once

#include <QString>

class QWidget;

namespace quenlo {

// Twips per pixel of the screen a widget is on (1440 / logical DPI); the
// primary screen's when widget is null.
double TwipsPerPixelX(const QWidget* widget = nullptr);
double TwipsPerPixelY(const QWidget* widget = nullptr);
int ToPixelsX(int twips, const QWidget* widget);
int ToPixelsY(int twips, const QWidget* widget);
int ToTwipsX(int pixels, const QWidget* widget);
int ToTwipsY(int pixels, const QWidget* widget);

// Height in twips of a taskbar at the bottom of the primary screen, else 0.
int TaskbarHeight();
// Centres the form on its screen above the bottom taskbar; its size stays.
void CenterForm(QWidget& form);
// Keeps the form above ordinary windows without activating it.
void SetTopMost(QWidget& form);

// Whether a shown top-level window carries exactly this caption.
bool IsFormOpen(const QString& caption);
// Returns once no such window is open, handling events meanwhile (without
// spinning the processor).
void WaitFormClosed(const QString& caption);

}  // namespace quenlo
