// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/TastiLettura.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace KaloRefill::TastiLettura {

namespace {
constexpr int VkBackspace = 8, VkSpazio = 32, VkCanc = 46, VkCifra0 = 48, VkTastierino0 = 96;
constexpr int VkPer = 106, VkPiu = 107, VkMeno = 109, VkDecimale = 110, VkDiviso = 111;
constexpr int VkF12 = 123, VkOemPiu = 187, VkOemVirgola = 188, VkOemMeno = 189, VkOemPunto = 190;

// Physical keys under X11 and Wayland: the kernel's evdev code plus 8.
namespace Scan {
constexpr quint32 Cifra1 = 10, Cifra0 = 19, TrattinoUs = 20, UgualeUs = 21, Backspace = 22;
constexpr quint32 PiuIt = 35, Virgola = 59, Punto = 60, TrattinoIt = 61, PerTastierino = 63;
constexpr quint32 Spazio = 65, Tastierino7 = 79, MenoTastierino = 82, PiuTastierino = 86;
constexpr quint32 Tastierino0 = 90, DecimaleTastierino = 91, F12 = 96, DivisoTastierino = 106;
constexpr quint32 Canc = 119;
} // namespace Scan

// The keypad's digit keys, from the scan code of 7 on: 7 8 9 - 4 5 6 + 1 2 3 0.
constexpr int CifreTastierino[] = {7, 8, 9, -1, 4, 5, 6, -1, 1, 2, 3, 0};

// The plus and minus keys of the main keyboard sit in different places on different
// layouts (US "=" right of the digits, Italian "+" right of "è"; the US minus right of the
// digits, the Italian one left of the right Shift), and on each layout the other place
// holds another key. Such a key is known by its place together with the symbols the
// layout prints on it, unshifted or shifted.
struct TastoSimbolo {
    quint32 scan;
    int codice;
    int simboli[2];
};
constexpr TastoSimbolo TastiSimbolo[] = {
    {Scan::UgualeUs, VkOemPiu, {Qt::Key_Equal, Qt::Key_Plus}},
    {Scan::PiuIt, VkOemPiu, {Qt::Key_Plus, Qt::Key_Asterisk}},
    {Scan::TrattinoUs, VkOemMeno, {Qt::Key_Minus, Qt::Key_Underscore}},
    {Scan::TrattinoIt, VkOemMeno, {Qt::Key_Minus, Qt::Key_Underscore}},
};

bool scanCodeFisico(const QString& piattaforma) {
    return piattaforma == QLatin1String("xcb") || piattaforma.startsWith(QLatin1String("wayland"));
}

int daScanCode(quint32 scan, int tasto) {
    if (scan >= Scan::Cifra1 && scan <= Scan::Cifra0)
        return scan == Scan::Cifra0 ? VkCifra0
                                    : VkCifra0 + static_cast<int>(scan - Scan::Cifra1) + 1;
    if (scan >= Scan::Tastierino7 && scan <= Scan::DecimaleTastierino) {
        // Digits only while Num Lock makes them digits, as on Windows; without it the
        // keypad's full stop is Delete.
        if (scan == Scan::MenoTastierino)
            return VkMeno;
        if (scan == Scan::PiuTastierino)
            return VkPiu;
        if (scan == Scan::DecimaleTastierino)
            return tasto == Qt::Key_Delete                             ? VkCanc
                   : tasto == Qt::Key_Comma || tasto == Qt::Key_Period ? VkDecimale
                                                                       : 0;
        const int cifra = CifreTastierino[scan - Scan::Tastierino7];
        return tasto == Qt::Key_0 + cifra ? VkTastierino0 + cifra : 0;
    }
    switch (scan) {
    case Scan::Virgola:
        return VkOemVirgola;
    case Scan::Punto:
        return VkOemPunto;
    case Scan::Backspace:
        return VkBackspace;
    case Scan::Canc:
        return VkCanc;
    case Scan::Spazio:
        return VkSpazio;
    case Scan::PerTastierino:
        return VkPer;
    case Scan::DivisoTastierino:
        return VkDiviso;
    case Scan::F12:
        return VkF12;
    default:
        break;
    }
    for (const TastoSimbolo& t : TastiSimbolo) {
        if (t.scan == scan && (tasto == t.simboli[0] || tasto == t.simboli[1]))
            return t.codice;
    }
    return 0;
}

// Without a physical key: Qt's key, with the keypad modifier for the numeric pad.
int daTastoQt(const QKeyEvent& evento) {
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
} // namespace

int codiceVirtuale(const QKeyEvent& evento, const QString& piattaforma) {
#ifdef Q_OS_WIN
    if (evento.nativeVirtualKey() != 0)
        return static_cast<int>(evento.nativeVirtualKey());
#endif
    if (scanCodeFisico(piattaforma) && evento.nativeScanCode() != 0)
        return daScanCode(evento.nativeScanCode(), evento.key());
    return daTastoQt(evento);
}

int codiceVirtuale(const QKeyEvent& evento) {
    return codiceVirtuale(evento, QGuiApplication::platformName());
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
