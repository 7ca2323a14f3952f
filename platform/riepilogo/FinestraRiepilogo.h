// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "Riepilogo.h"
#include "host/HostApplication.h"

#include <QWidget>

class QDateEdit;
class QLabel;
class QSpinBox;
class QStandardItemModel;
class QSplitter;
class QTabWidget;
class QTableView;

namespace KaloRefill {

class GraficoRiepilogo;

// "Riepilogo Refill": the venue's refills of a period per machine and per day, the chart
// and the frequency alert, for the reconciliation with the machines' owners. Reads only;
// the one thing it stores is the alert's multiplier, when the manager changes it.
class FinestraRiepilogo final : public QWidget {
    Q_OBJECT

public:
    explicit FinestraRiepilogo(HostApplicationPtr host, QWidget* genitore = nullptr);

    // Recomputes for the period; a failure of the host is shown and leaves the window empty.
    void impostaPeriodo(const QDate& dal, const QDate& al);
    const Riepilogo& riepilogo() const { return m_riepilogo; }

    bool salvaPdf(const QString& percorsoFile);
    bool salvaCsv(const QString& percorsoFile, QString* errore = nullptr);

protected:
    bool event(QEvent* evento) override;

private:
    void sistemaGrafico();
    void ricalcola();
    void riempiTabelle();
    void cambiaSoglia(int soglia);
    void anteprima();
    void stampa();
    static QString fileEsportazione(const QDate& dal, const QDate& al, const QString& estensione);
    void chiediPdf();
    void chiediCsv();

    HostApplicationPtr m_host;
    Riepilogo m_riepilogo;
    QDateEdit* m_dal = nullptr;
    QDateEdit* m_al = nullptr;
    QSpinBox* m_soglia = nullptr;
    QLabel* m_sintesi = nullptr;
    QLabel* m_allarmi = nullptr;
    QTabWidget* m_schede = nullptr;
    QSplitter* m_divisore = nullptr;
    QStandardItemModel* m_modelloApparecchi = nullptr;
    QStandardItemModel* m_modelloGiorni = nullptr;
    QTableView* m_tabellaApparecchi = nullptr;
    QTableView* m_tabellaGiorni = nullptr;
    GraficoRiepilogo* m_grafico = nullptr;
};

} // namespace KaloRefill
