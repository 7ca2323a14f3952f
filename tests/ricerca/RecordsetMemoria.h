#pragma once

#include "host/Recordset.h"

#include <QList>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

// A recordset over rows held in memory, behaving as the host's sets do where the search
// component and the module rely on it: positioned on the first row when made, 3021 when
// moving past either end or reading without a current row (MoveFirst on an empty set
// included), 3265 for an unknown field, case-insensitive names, AddNew/SetField/Update,
// and "field = value" filters.
class RecordsetMemoria final : public KaloRefill::Recordset {
public:
    RecordsetMemoria(QStringList campi, QList<QVariantList> righe = {});
    static std::shared_ptr<RecordsetMemoria> crea(QStringList campi,
                                                  QList<QVariantList> righe = {});

    int RecordCount() override;
    bool Bof() override;
    bool Eof() override;
    void MoveFirst() override;
    void MoveNext() override;
    void MovePrevious() override;
    QVariant Field(const QString& nome) override;
    void SetField(const QString& nome, const QVariant& valore) override;
    void AddNew() override;
    void Update() override;
    void SetFilter(const QString& condizione) override;
    QStringList FieldNames() override;

    // Every stored row, filter or not.
    const QList<QVariantList>& righe() const { return m_righe; }
    // The value of a field in a stored row.
    QVariant valore(int riga, const QString& campo) const;

    // Told of every member called, by name ("Filter=", "AddNew", ...).
    std::function<void(const QString&)> osservatore;
    int aggiornamenti = 0;

private:
    int colonna(const QString& nome) const;
    void nota(const QString& chiamata) const;
    bool senzaRigaCorrente() const;

    QStringList m_campi;
    QList<QVariantList> m_righe;
    QList<int> m_visibili;
    int m_posizione = 0;
    std::optional<QVariantList> m_nuova;
    QList<std::pair<int, QVariant>> m_modifiche;
};
