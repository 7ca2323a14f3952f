// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The test plugin: answers to "KaloviaRicerca.Ricerca" with a search component that shows
// nothing and writes into RegistroProva what it is given and asked.
#include "ComponentFactory.h"
#include "RegistroProva.h"
#include "host/Errore.h"
#include "search/ComponenteRicerca.h"

#include <QObject>

using namespace Qt::StringLiterals;

namespace KaloRefill {

namespace {

RegistroProva& registro = RegistroProva::istanza();

void annota(const char* membro, const QString& valore) {
    registro.voci << QLatin1String(membro) + u'=' + valore;
}

} // namespace

class ComponenteProva final : public QObject, public ComponenteRicerca {
    Q_OBJECT
    Q_INTERFACES(KaloRefill::ComponenteRicerca)
public:
    ComponenteProva() { ++registro.componentiVivi; }
    ~ComponenteProva() override {
        --registro.componentiVivi;
        registro.voci << u"~componente"_s;
    }

    void setUser(const QVariant& v) override {
        annota("User", v.toString() + u" (%1)"_s.arg(QLatin1String(v.typeName())));
    }
    void setModulo(const QString& v) override { annota("Modulo", v); }
    void setCaption(const QString& v) override { annota("Caption", v); }
    void setRecordset(RecordsetPtr v) override { m_righe = tieni("Recordset", v); }
    void setRecordsetOperatori(RecordsetPtr v) override { tieni("RecordsetOperatori", v); }
    void setRecordsetViste(RecordsetPtr v) override { tieni("RecordsetViste", v); }
    void setCampoRicerca(const QString& v) override { annota("CampoRicerca", v); }
    void setPercorsoPers(const QString& v) override { annota("PercorsoPers", v); }
    void setPercorso(const QString& v) override { annota("Percorso", v); }
    void setStatusBar(qint16 v) override { annota("StatusBar", QString::number(v)); }
    void setToolbar(qint16 v) override { annota("Toolbar", QString::number(v)); }
    void setFilterBar(qint16 v) override { annota("FilterBar", QString::number(v)); }
    void setWindowsState(qint16 v) override { annota("WindowsState", QString::number(v)); }

    void Ricerca() override {
        registro.voci << u"Ricerca"_s;
        if (registro.guastoInRicerca)
            throw Errore(3021, u"Nessun record corrente."_s);
        for (; m_righe && !m_righe->Eof(); m_righe->MoveNext()) {
            QStringList valori;
            for (const QString& campo : registro.campiDaLeggere)
                valori << m_righe->Field(campo).toString();
            registro.righeLette << valori.join(u'|');
        }
    }
    QVariant Risposta() const override {
        registro.voci << u"Risposta"_s;
        return registro.risposta;
    }

private:
    // Logged by its columns, which tell the lists apart; held until the component goes.
    RecordsetPtr tieni(const char* membro, const RecordsetPtr& rs) {
        annota(membro, rs ? rs->FieldNames().join(u',') : u"null"_s);
        registro.ricevuti.push_back(rs);
        m_tenuti.push_back(rs);
        return rs;
    }

    RecordsetPtr m_righe;
    std::vector<RecordsetPtr> m_tenuti;
};

class FabbricaProva final : public QObject, public ComponentFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KaloRefill_ComponentFactory_iid FILE "prova.json")
    Q_INTERFACES(KaloRefill::ComponentFactory)
public:
    QStringList componentNames() const override { return {u"KaloviaRicerca.Ricerca"_s}; }
    // Whatever the name: only the registry keeps a name nobody answers to from being made.
    QObject* createComponent(const QString&) override {
        if (registro.oggettoEstraneo)
            return new QObject();
        return new ComponenteProva();
    }
};

} // namespace KaloRefill

#include "ComponenteProva.moc"
