#pragma once

#include "search/ComponenteRicerca.h"

#include <QObject>

namespace KaloRefill {

// A search component that shows nothing: it writes every member set or called into
// RegistroProva, in order, keeps the recordsets it is given until it is destroyed, reads
// the rows of its Recordset when the test asks for them, and answers what the test asked
// for.
class ComponenteProva final : public QObject, public ComponenteRicerca {
    Q_OBJECT
    Q_INTERFACES(KaloRefill::ComponenteRicerca)
public:
    ComponenteProva();
    ~ComponenteProva() override;

    void setUser(const QVariant& user) override;
    void setModulo(const QString& modulo) override;
    void setCaption(const QString& caption) override;
    void setRecordset(RecordsetPtr righe) override;
    void setRecordsetOperatori(RecordsetPtr operatori) override;
    void setRecordsetViste(RecordsetPtr viste) override;
    void setCampoRicerca(const QString& campo) override;
    void setPercorsoPers(const QString& percorso) override;
    void setPercorso(const QString& percorso) override;
    void setStatusBar(qint16 valore) override;
    void setToolbar(qint16 valore) override;
    void setFilterBar(qint16 valore) override;
    void setWindowsState(qint16 valore) override;
    void Ricerca() override;
    QVariant Risposta() const override;

private:
    // Writes down what the Recordset holds, when the test named the fields to read.
    void leggiRighe();

    RecordsetPtr m_righe;
    RecordsetPtr m_operatori;
    RecordsetPtr m_viste;
};

} // namespace KaloRefill
