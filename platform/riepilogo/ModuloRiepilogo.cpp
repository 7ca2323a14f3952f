// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ModuloRiepilogo.h"

#include "FinestraRegistroBuoni.h"
#include "FinestraRiepilogo.h"
#include "form/StileTocco.h"

#include <QApplication>

#include <type_traits>

extern "C" Q_DECL_EXPORT int kalorefill_apri_riepilogo(const KaloRefill::HostApplicationPtr& host,
                                                      const QDate& dal, const QDate& al) {
    KaloRefill::StileTocco::installa();
    KaloRefill::FinestraRiepilogo finestra(host);
    finestra.impostaPeriodo(dal, al);
    finestra.show();
    return QApplication::exec();
}

extern "C" Q_DECL_EXPORT int kalorefill_apri_registro(const KaloRefill::HostApplicationPtr& host,
                                                     const QDate& dal, const QDate& al) {
    KaloRefill::StileTocco::installa();
    KaloRefill::FinestraRegistroBuoni finestra(host, dal, al);
    finestra.show();
    return QApplication::exec();
}

// The entries keep the type the program calls them through.
static_assert(std::is_same_v<decltype(&kalorefill_apri_riepilogo), KaloRefillApriRiepilogo>);
static_assert(std::is_same_v<decltype(&kalorefill_apri_registro), KaloRefillApriRiepilogo>);
