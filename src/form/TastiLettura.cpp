#include "TastiLettura.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace KaloRefill::TastiLettura {

namespace {
constexpr int VkBackspace = 8, VkSpazio = 32, VkCanc = 46, VkCifra0 = 48, VkTastierino0 = 96;
constexpr int VkPer = 106, VkPiu = 107, VkMeno = 109, VkDecimale = 110, VkDiviso = 111;
constexpr int VkF12 = 123, VkOemPiu = 187, VkOemVirgola = 188, VkOemMeno = 189, VkOemPunto = 190;

// X11 key codes of the digit row, "1" to "0": the same keys whatever the shift state
// and the layout.
constexpr quint32 ScanCodeCifra1 = 10, ScanCodeCifra0 = 19;

int daScanCode(const QKeyEvent& evento) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return 0;
    const quint32 scan = evento.nativeScanCode();
    if (scan < ScanCodeCifra1 || scan > ScanCodeCifra0 || evento.modifiers() & Qt::KeypadModifier)
        return 0;
    return scan == ScanCodeCifra0 ? VkCifra0 : VkCifra0 + static_cast<int>(scan - ScanCodeCifra1) + 1;
}
} // namespace

int codiceVirtuale(const QKeyEvent& evento) {
#ifdef Q_OS_WIN
    if (evento.nativeVirtualKey() != 0)
        return static_cast<int>(evento.nativeVirtualKey());
#endif
    if (const int cifraRiga = daScanCode(evento))
        return cifraRiga;
    const bool tastierino = evento.modifiers() & Qt::KeypadModifier;
    const int tasto = evento.key();
    if (tasto >= Qt::Key_0 && tasto <= Qt::Key_9)
        return (tastierino ? VkTastierino0 : VkCifra0) + (tasto - Qt::Key_0);
    switch (tasto) {
    case Qt::Key_Comma:
        return tastierino ? VkDecimale : VkOemVirgola;
    case Qt::Key_Period:
        return tastierino ? VkDecimale : VkOemPunto;
    case Qt::Key_Backspace:
        return VkBackspace;
    case Qt::Key_Delete:
        return VkCanc;
    case Qt::Key_Space:
        return VkSpazio;
    case Qt::Key_Plus:
        return tastierino ? VkPiu : VkOemPiu;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return tastierino ? VkMeno : VkOemMeno;
    case Qt::Key_Asterisk:
        return tastierino ? VkPer : 0;
    case Qt::Key_Slash:
        return tastierino ? VkDiviso : 0;
    case Qt::Key_F12:
        return VkF12;
    default:
        return 0;
    }
}

QStringList tokenPerCodice(int codice) {
    if (codice >= VkCifra0 && codice <= VkCifra0 + 9)
        return {QString::number(codice - VkCifra0)};
    if (codice >= VkTastierino0 && codice <= VkTastierino0 + 9)
        return {QString::number(codice - VkTastierino0)};
    switch (codice) {
    case VkDecimale:
    case VkOemVirgola:
    case VkOemPunto:
        return {QStringLiteral(",")};
    case VkBackspace:
        return {QStringLiteral("DEL")};
    case VkCanc:
        return {QStringLiteral("CANC")};
    case VkSpazio:
        return {QStringLiteral("=")};
    case VkPiu:
    case VkOemPiu:
        return {QStringLiteral("="), QStringLiteral("+")};
    case VkMeno:
    case VkOemMeno:
        return {QStringLiteral("="), QStringLiteral("-")};
    case VkPer:
        return {QStringLiteral("="), QStringLiteral("X")};
    case VkDiviso:
        return {QStringLiteral("="), QStringLiteral("/")};
    case VkF12:
        return {QStringLiteral("SALVA")};
    default:
        return {};
    }
}

} // namespace KaloRefill::TastiLettura
