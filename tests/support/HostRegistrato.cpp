// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "HostRegistrato.h"

#include "Errore.h"

using namespace KaloRefill;

namespace {
// A recordset that counts (and may fail) each of its calls through its host.
class RecordsetRegistrato final : public Recordset {
public:
    RecordsetRegistrato(RecordsetPtr reale, HostRegistrato& host) : m_reale(std::move(reale)), m_host(host) {}

    int RecordCount() override {
        conta(QStringLiteral("RecordCount"));
        return m_reale->RecordCount();
    }
    bool Bof() override {
        conta(QStringLiteral("Bof"));
        return m_reale->Bof();
    }
    bool Eof() override {
        conta(QStringLiteral("Eof"));
        return m_reale->Eof();
    }
    void MoveFirst() override {
        conta(QStringLiteral("MoveFirst"));
        m_reale->MoveFirst();
    }
    void MoveNext() override {
        conta(QStringLiteral("MoveNext"));
        m_reale->MoveNext();
    }
    void MovePrevious() override {
        conta(QStringLiteral("MovePrevious"));
        m_reale->MovePrevious();
    }
    QVariant Field(const QString& nome) override {
        conta(QStringLiteral("Field ") + nome);
        return m_reale->Field(nome);
    }
    void SetField(const QString& nome, const QVariant& valore) override {
        conta(QStringLiteral("SetField ") + nome);
        m_reale->SetField(nome, valore);
    }
    void AddNew() override {
        conta(QStringLiteral("AddNew"));
        m_reale->AddNew();
    }
    void Update() override {
        conta(QStringLiteral("Update"));
        m_reale->Update();
    }
    void SetFilter(const QString& condizione) override {
        conta(QStringLiteral("Filter ") + condizione);
        m_reale->SetFilter(condizione);
    }
    QStringList FieldNames() override { return m_reale->FieldNames(); }

private:
    void conta(const QString& chiamata) { m_host.conta(chiamata); }

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
    ++m_contatore;
    if (m_fallisciAl > 0 && m_contatore == m_fallisciAl && m_perditaUnita)
        throw Errore::unitaNonRiuscita(QStringLiteral("guasto simulato a %1").arg(chiamata));
    if (m_fallisciAl > 0 && m_contatore == m_fallisciAl)
        throw Errore(3001, QStringLiteral("Guasto simulato: %1").arg(chiamata));
}

RecordsetPtr HostRegistrato::openrecordset(const QString& testo) {
    sql << testo;
    conta(QStringLiteral("openrecordset"));
    return std::make_shared<RecordsetRegistrato>(m_reale->openrecordset(testo), *this);
}

RecordsetPtr HostRegistrato::OpenRecordSetPreferenze(const QString& testo) {
    sql << testo;
    conta(QStringLiteral("OpenRecordSetPreferenze"));
    return std::make_shared<RecordsetRegistrato>(m_reale->OpenRecordSetPreferenze(testo), *this);
}

void HostRegistrato::Execute(const QString& testo) {
    sql << testo;
    conta(QStringLiteral("Execute"));
    m_reale->Execute(testo);
}

qint16 HostRegistrato::leggisettaggio(const QString& sezione, const QString& chiave, qint16 predefinito) {
    conta(QStringLiteral("leggisettaggio"));
    return m_reale->leggisettaggio(sezione, chiave, predefinito);
}

void HostRegistrato::salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) {
    conta(QStringLiteral("salvasettaggio"));
    m_reale->salvasettaggio(sezione, chiave, valore);
}

QDate HostRegistrato::Data() {
    conta(QStringLiteral("Data"));
    return m_reale->Data();
}

QVariant HostRegistrato::User() {
    conta(QStringLiteral("User"));
    return m_reale->User();
}

QString HostRegistrato::Percorso() {
    conta(QStringLiteral("Percorso"));
    return m_reale->Percorso();
}
