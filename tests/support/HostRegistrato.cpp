// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "HostRegistrato.h"

#include "Errore.h"

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {
// A recordset that counts (and may fail) each of its calls through its host.
class RecordsetRegistrato final : public Recordset {
public:
    RecordsetRegistrato(RecordsetPtr reale, HostRegistrato& host)
        : m_reale(std::move(reale)), m_host(host) {}

    int RecordCount() override { return reale(u"RecordCount"_s)->RecordCount(); }
    bool Bof() override { return reale(u"Bof"_s)->Bof(); }
    bool Eof() override { return reale(u"Eof"_s)->Eof(); }
    void MoveFirst() override { reale(u"MoveFirst"_s)->MoveFirst(); }
    void MoveNext() override { reale(u"MoveNext"_s)->MoveNext(); }
    void MovePrevious() override { reale(u"MovePrevious"_s)->MovePrevious(); }
    QVariant Field(const QString& nome) override { return reale(u"Field "_s + nome)->Field(nome); }
    void SetField(const QString& nome, const QVariant& valore) override {
        reale(u"SetField "_s + nome)->SetField(nome, valore);
    }
    void AddNew() override { reale(u"AddNew"_s)->AddNew(); }
    void Update() override { reale(u"Update"_s)->Update(); }
    void SetFilter(const QString& condizione) override {
        reale(u"Filter "_s + condizione)->SetFilter(condizione);
    }
    QStringList FieldNames() override { return m_reale->FieldNames(); }

private:
    // The recordset behind, once the call is counted.
    const RecordsetPtr& reale(const QString& chiamata) {
        m_host.conta(chiamata);
        return m_reale;
    }

    RecordsetPtr m_reale;
    HostRegistrato& m_host;
};
} // namespace

HostRegistrato::HostRegistrato(HostApplicationPtr reale) : m_reale(std::move(reale)) {}

void HostRegistrato::armaFallimento(int n) {
    m_fallisciAl = n;
    m_contatore = 0;
    m_perditaUnita = false;
}

void HostRegistrato::armaPerditaUnita(int n) {
    armaFallimento(n);
    m_perditaUnita = true;
}

std::unique_ptr<UnitaDiLavoro> HostRegistrato::IniziaUnita() {
    return m_perditaUnita ? m_reale->IniziaUnita() : nullptr;
}

void HostRegistrato::conta(const QString& chiamata) {
    chiamate << chiamata;
    if (allaChiamata)
        allaChiamata(chiamata);
    if (++m_contatore != m_fallisciAl || m_fallisciAl <= 0)
        return;
    if (m_perditaUnita)
        throw Errore::unitaNonRiuscita(u"guasto simulato a %1"_s.arg(chiamata));
    throw Errore(3001, u"Guasto simulato: %1"_s.arg(chiamata));
}

const HostApplicationPtr& HostRegistrato::reale(const QString& chiamata) {
    conta(chiamata);
    return m_reale;
}

RecordsetPtr HostRegistrato::openrecordset(const QString& testo) {
    sql << testo;
    return std::make_shared<RecordsetRegistrato>(reale(u"openrecordset"_s)->openrecordset(testo),
                                                 *this);
}

RecordsetPtr HostRegistrato::OpenRecordSetPreferenze(const QString& testo) {
    sql << testo;
    return std::make_shared<RecordsetRegistrato>(
        reale(u"OpenRecordSetPreferenze"_s)->OpenRecordSetPreferenze(testo), *this);
}

void HostRegistrato::Execute(const QString& testo) {
    sql << testo;
    reale(u"Execute"_s)->Execute(testo);
}

qint16 HostRegistrato::leggisettaggio(const QString& sezione, const QString& chiave,
                                      qint16 predefinito) {
    return reale(u"leggisettaggio"_s)->leggisettaggio(sezione, chiave, predefinito);
}

void HostRegistrato::salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) {
    reale(u"salvasettaggio"_s)->salvasettaggio(sezione, chiave, valore);
}

QDate HostRegistrato::Data() {
    return reale(u"Data"_s)->Data();
}

QVariant HostRegistrato::User() {
    return reale(u"User"_s)->User();
}

QString HostRegistrato::Percorso() {
    return reale(u"Percorso"_s)->Percorso();
}
