// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "HostCronometrato.h"

using namespace KaloRefill;

namespace {
class RecordsetCronometrato final : public Recordset {
public:
    RecordsetCronometrato(RecordsetPtr reale, HostCronometrato& host, QString tipo)
        : m_reale(std::move(reale)), m_host(host), m_tipo(std::move(tipo)) {}

    template <typename F>
    auto misura(const char* membro, F&& azione) {
        QElapsedTimer t;
        t.start();
        struct Alla {
            ~Alla() { host.aggiungi(voce, t.nsecsElapsed()); }
            HostCronometrato& host;
            QString voce;
            QElapsedTimer& t;
        } fine{m_host, QLatin1String(membro) + QStringLiteral(" · ") + m_tipo, t};
        return azione();
    }


    int RecordCount() override { return misura("RecordCount", [&] { return m_reale->RecordCount(); }); }
    bool Bof() override { return misura("Bof", [&] { return m_reale->Bof(); }); }
    bool Eof() override { return misura("Eof", [&] { return m_reale->Eof(); }); }
    void MoveFirst() override { misura("MoveFirst", [&] { m_reale->MoveFirst(); }); }
    void MoveNext() override { misura("MoveNext", [&] { m_reale->MoveNext(); }); }
    void MovePrevious() override { misura("MovePrevious", [&] { m_reale->MovePrevious(); }); }
    QVariant Field(const QString& nome) override { return misura("Field", [&] { return m_reale->Field(nome); }); }
    void SetField(const QString& nome, const QVariant& valore) override {
        misura("SetField", [&] { m_reale->SetField(nome, valore); });
    }
    void AddNew() override { misura("AddNew", [&] { m_reale->AddNew(); }); }
    void Update() override { misura("Update", [&] { m_reale->Update(); }); }
    void SetFilter(const QString& condizione) override { misura("Filter", [&] { m_reale->SetFilter(condizione); }); }
    QStringList FieldNames() override { return m_reale->FieldNames(); }

private:
    RecordsetPtr m_reale;
    HostCronometrato& m_host;
    QString m_tipo;
};

template <typename F>
auto cronometra(HostCronometrato& host, const QString& voce, F&& azione) {
    QElapsedTimer t;
    t.start();
    auto risultato = azione();
    host.aggiungi(voce, t.nsecsElapsed());
    return risultato;
}
} // namespace

QString HostCronometrato::tipo(const QString& sql) {
    // Up to the first digit or quote: the values vary, the kind of query does not.
    qsizetype fine = 0;
    while (fine < sql.size() && !sql[fine].isDigit() && sql[fine] != QLatin1Char('\'') && sql[fine] != QLatin1Char('#'))
        ++fine;
    return sql.left(std::min<qsizetype>(fine, 70)).trimmed();
}

RecordsetPtr HostCronometrato::openrecordset(const QString& sql) {
    const QString voce = tipo(sql);
    RecordsetPtr reale = cronometra(*this, QStringLiteral("open · ") + voce, [&] { return m_reale->openrecordset(sql); });
    return std::make_shared<RecordsetCronometrato>(std::move(reale), *this, voce);
}

RecordsetPtr HostCronometrato::OpenRecordSetPreferenze(const QString& sql) {
    return m_reale->OpenRecordSetPreferenze(sql);
}

void HostCronometrato::Execute(const QString& sql) {
    QElapsedTimer t;
    t.start();
    m_reale->Execute(sql);
    aggiungi(QStringLiteral("Execute · ") + tipo(sql), t.nsecsElapsed());
}
