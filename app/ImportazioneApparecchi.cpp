// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ImportazioneApparecchi.h"

#include "ArchivioAnagrafiche.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <array>

namespace KaloRefill {

namespace {

enum class Colonna { Codice, Nome, Mobile, CodiceAdm, Categoria, TipoIncasso, Ordine, InServizio };

// Headings as people write them; compared without case, accents or blanks around.
const QHash<QString, Colonna>& intestazioni() {
    static const QHash<QString, Colonna> nomi{
        {QStringLiteral("codice"), Colonna::Codice},
        {QStringLiteral("codice interno"), Colonna::Codice},
        {QStringLiteral("nome"), Colonna::Nome},
        {QStringLiteral("nome apparecchio"), Colonna::Nome},
        {QStringLiteral("mobile"), Colonna::Mobile},
        {QStringLiteral("codice adm"), Colonna::CodiceAdm},
        {QStringLiteral("codice aams"), Colonna::CodiceAdm},
        {QStringLiteral("categoria"), Colonna::Categoria},
        {QStringLiteral("tipo incasso"), Colonna::TipoIncasso},
        {QStringLiteral("ordine"), Colonna::Ordine},
        {QStringLiteral("in servizio"), Colonna::InServizio},
        {QStringLiteral("attivo"), Colonna::InServizio},
    };
    return nomi;
}

// The 32 codes where Windows-1252 differs from Latin-1 (0x80 to 0x9F); 0 where unused.
constexpr std::array<char16_t, 32> windows1252{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// "sì", "si", "x", "1", "vero": in service; "no", "0", "falso": out; empty: in service.
int leggiSiNo(const QString& testo) {
    const QString t = testo.trimmed().toLower();
    if (t.isEmpty() || t == u"sì" || t == u"si" || t == u"s" || t == u"x" || t == u"1" ||
        t == u"vero")
        return 1;
    if (t == u"no" || t == u"n" || t == u"0" || t == u"falso")
        return 0;
    return -1;
}

} // namespace

QString ImportazioneApparecchi::decodifica(const QByteArray& contenuto) {
    QByteArray dati = contenuto;
    if (dati.startsWith("\xEF\xBB\xBF"))
        dati.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString testo = utf8(dati);
    if (!utf8.hasError())
        return testo;
    QString risultato;
    risultato.reserve(dati.size());
    for (const char c : dati) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t sostituto = byte >= 0x80 && byte <= 0x9F ? windows1252[byte - 0x80] : 0;
        risultato.append(sostituto ? QChar(sostituto) : QChar(char16_t(byte)));
    }
    return risultato;
}

QStringList ImportazioneApparecchi::campi(const QString& riga) {
    QStringList risultato;
    QString campo;
    bool traVirgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        const QChar c = riga.at(i);
        if (traVirgolette) {
            if (c == u'"' && i + 1 < riga.size() && riga.at(i + 1) == u'"') {
                campo.append(c);
                ++i;
            } else if (c == u'"') {
                traVirgolette = false;
            } else {
                campo.append(c);
            }
        } else if (c == u'"') {
            traVirgolette = true;
        } else if (c == u';') {
            risultato.append(campo.trimmed());
            campo.clear();
        } else {
            campo.append(c);
        }
    }
    risultato.append(campo.trimmed());
    return risultato;
}

ImportazioneApparecchi::Esito ImportazioneApparecchi::leggiFile(const QString& percorso,
                                                                const QList<Apparecchio>& presenti) {
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        Esito esito;
        esito.errore = QStringLiteral("Impossibile leggere il file %1: %2").arg(percorso, file.errorString());
        return esito;
    }
    return leggi(file.readAll(), presenti);
}

ImportazioneApparecchi::Esito ImportazioneApparecchi::leggi(const QByteArray& contenuto,
                                                            const QList<Apparecchio>& presenti) {
    Esito esito;
    QStringList righe = decodifica(contenuto).split(QLatin1Char('\n'));
    for (QString& r : righe)
        if (r.endsWith(QLatin1Char('\r')))
            r.chop(1);
    const QStringList titoli = campi(righe.value(0));
    QHash<Colonna, qsizetype> posizione;
    for (qsizetype i = 0; i < titoli.size(); ++i) {
        const auto trovata = intestazioni().constFind(titoli.at(i).toLower().simplified());
        if (trovata != intestazioni().cend() && !posizione.contains(*trovata))
            posizione.insert(*trovata, i);
    }
    if (!posizione.contains(Colonna::Codice) || !posizione.contains(Colonna::Nome)) {
        esito.errore = QStringLiteral("La prima riga deve avere le intestazioni: almeno \"Codice\" e "
                                      "\"Nome\" (e, se si vuole, \"Mobile\", \"Codice ADM\", "
                                      "\"Categoria\", \"Tipo incasso\", \"Ordine\", \"In servizio\"), "
                                      "separate da punto e virgola.");
        return esito;
    }
    int ordine = 0;
    for (const Apparecchio& a : presenti)
        ordine = std::max(ordine, a.ordine);
    QList<Apparecchio> visti = presenti;
    for (qsizetype n = 1; n < righe.size(); ++n) {
        const QStringList valori = campi(righe.at(n));
        if (righe.at(n).trimmed().isEmpty() ||
            std::all_of(valori.cbegin(), valori.cend(), [](const QString& v) { return v.isEmpty(); }))
            continue;
        const auto valore = [&](Colonna c) {
            return posizione.contains(c) ? valori.value(posizione.value(c)) : QString();
        };
        const auto rifiuta = [&](const QString& motivo) {
            esito.rifiutati.append(QStringLiteral("Riga %1: %2").arg(n + 1).arg(motivo));
        };
        Apparecchio a;
        a.codice = valore(Colonna::Codice);
        a.nome = valore(Colonna::Nome);
        a.mobile = valore(Colonna::Mobile);
        a.codiceAdm = valore(Colonna::CodiceAdm);
        if (const QString categoria = valore(Colonna::Categoria).toUpper(); !categoria.isEmpty())
            a.categoria = categoria;
        bool numero = true;
        if (const QString tipo = valore(Colonna::TipoIncasso); !tipo.isEmpty())
            a.tipoIncasso = tipo.toInt(&numero);
        if (!numero) {
            rifiuta(QStringLiteral("tipo incasso \"%1\" non è un numero").arg(valore(Colonna::TipoIncasso)));
            continue;
        }
        if (const QString testoOrdine = valore(Colonna::Ordine); !testoOrdine.isEmpty())
            a.ordine = testoOrdine.toInt(&numero);
        else
            a.ordine = ordine + 1; // after the last one accepted
        if (!numero) {
            rifiuta(QStringLiteral("ordine \"%1\" non è un numero").arg(valore(Colonna::Ordine)));
            continue;
        }
        const int servizio = leggiSiNo(valore(Colonna::InServizio));
        if (servizio < 0) {
            rifiuta(QStringLiteral("\"In servizio\" vale \"%1\": scrivere sì o no")
                        .arg(valore(Colonna::InServizio)));
            continue;
        }
        a.inServizio = servizio == 1;
        if (const QString problema = ArchivioAnagrafiche::problemaApparecchio(a, visti);
            !problema.isEmpty()) {
            rifiuta(problema);
            continue;
        }
        ordine = std::max(ordine, a.ordine);
        visti.append(a);
        esito.accettati.append(a);
    }
    return esito;
}

} // namespace KaloRefill
