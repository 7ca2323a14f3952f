// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The form's control tree: every control with its name, container, caption, colours,
// font and created place in twips. Behaviour is wired elsewhere (collegaEventi).

#include "form/CampoData.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/IconaSvg.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QPalette>

namespace KaloRefill {

namespace {

constexpr int LatoTasto = 1275;

// The form's face is "MS Sans Serif"; where it is missing (any system but Windows) a sans
// serif of like width takes its place at the same point size, so captions fit their
// controls as they were drawn.
QFont carattere(qreal punti, bool grassetto = false) {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

// For the narrow date field and its caption: a condensed face where the form's own
// narrow one is missing, so the whole date and "Data Registrazione" fit.
QFont stretto(QFont f) {
    QStringList famiglie = f.families();
    famiglie.insert(famiglie.size() - 1, QStringLiteral("DejaVu Sans Condensed"));
    f.setFamilies(famiglie);
    return f;
}

QIcon immagine(const char* nome) {
    return IconaSvg::icona(QStringLiteral(":/kalorefill/icons/") + QLatin1String(nome) +
                           QStringLiteral(".svg"));
}

void colori(QWidget* controllo, QPalette::ColorRole ruolo, const QColor& colore) {
    QPalette tavolozza = controllo->palette();
    tavolozza.setColor(ruolo, colore);
    controllo->setPalette(tavolozza);
}

template <class Controllo>
Controllo* crea(QWidget* contenitore, const char* nome, Twips::Rettangolo posto) {
    auto* controllo = new Controllo(contenitore);
    controllo->setObjectName(QLatin1String(nome));
    Twips::posiziona(controllo, posto);
    return controllo;
}

QFrame* cornice(QWidget* contenitore, const char* nome, Twips::Rettangolo posto,
                const QString& ruolo, bool nera) {
    auto* frame = crea<QFrame>(contenitore, nome, posto);
    frame->setAccessibleName(ruolo);
    if (nera) {
        frame->setFrameShape(QFrame::NoFrame);
        frame->setAutoFillBackground(true);
        colori(frame, QPalette::Window, Qt::black);
    } else {
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    return frame;
}

Etichetta* etichetta(QWidget* contenitore, const char* nome, const QString& caption,
                     Twips::Rettangolo posto, const QFont& font,
                     Qt::Alignment allineamento = Qt::AlignLeft) {
    auto* lab = crea<Etichetta>(contenitore, nome, posto);
    lab->setFont(font);
    // Captions start at the top of the label and, for the long ones, wrap at its width.
    lab->setAlignment(allineamento | Qt::AlignTop);
    lab->setCaption(caption);
    return lab;
}

// A label over the black band: its own colour, no background.
Etichetta* etichettaNera(QWidget* contenitore, const char* nome, const QString& caption,
                         Twips::Rettangolo posto, const QColor& inchiostro, const QFont& font,
                         Qt::Alignment allineamento = Qt::AlignLeft) {
    auto* lab = etichetta(contenitore, nome, caption, posto, font, allineamento);
    colori(lab, QPalette::WindowText, inchiostro);
    return lab;
}

PulsanteGrafico* pulsante(QWidget* contenitore, const char* nome, const QString& caption,
                          Twips::Rettangolo posto, const QFont& font,
                          const QColor& sfondo = QColor()) {
    auto* p = crea<PulsanteGrafico>(contenitore, nome, posto);
    p->setFont(font);
    if (sfondo.isValid())
        p->setBackColor(sfondo);
    p->setCaption(caption);
    return p;
}

const QColor Teal(0, 128, 128);
const QColor GialloScuro(192, 192, 0);
const QColor Oliva(128, 128, 0);
const QColor Rosso(192, 0, 0);
const QColor VerdeChiaro(0, 192, 0);
const QColor Verde(0, 128, 0);

struct Tasto {
    PulsanteGrafico* FrmRefill::*membro;
    const char* nome;
    const char* caption;
    int colonna;
    int riga;
    QColor sfondo;
    // Read aloud instead of a symbol; empty when the caption says it already.
    const char16_t* nomeAccessibile;
};

} // namespace

void FrmRefill::creaControlli() {
    setObjectName(QStringLiteral("FrmRefill"));
    setWindowTitle(QStringLiteral("..:: Gestione Refill ::.."));
    setWindowIcon(immagine("refill"));
    setFont(carattere(8.25));
    // 15270 x 10785 twips inside.
    resize(15270 / Twips::PerPixel, 10785 / Twips::PerPixel);
    setMinimumSize(LarghezzaMinima, AltezzaMinima);

    // Created first, so the machine frame lies over them: they only hold the selection.
    testoBottone =
        etichetta(this, "testoBottone", QStringLiteral("a"), {840, 2880, 1755, 375}, font());
    Bottone = etichetta(this, "Bottone", QStringLiteral("0"), {120, 2880, 555, 315}, font());

    // The keypad and the command buttons; nothing in here ever moves.
    FrmTastiera =
        cornice(this, "FrmTastiera", {7440, 2820, 5175, 7875}, QStringLiteral("Tastiera"), false);
    LabStato =
        etichetta(FrmTastiera, "LabStato", QStringLiteral("."), {120, 6540, 4935, 795}, font());
    LabStato->setWordWrap(true);
    LabStato->setForegroundRole(QPalette::Highlight);

    const QFont cifre = carattere(24, true);
    const Tasto tasti[] = {
        {&FrmRefill::Cmd, "Cmd", "/", 0, 0, Teal, u"Diviso"},
        {&FrmRefill::CmdPer, "CmdPer", "X", 1, 0, Teal, u"Per"},
        {&FrmRefill::CmdMeno, "CmdMeno", "--", 2, 0, Teal, u"Meno"},
        {&FrmRefill::CmdPiu, "CmdPiu", "+", 3, 0, Teal, u"Più"},
        {&FrmRefill::Cmd7, "Cmd7", "7", 0, 1, GialloScuro, u""},
        {&FrmRefill::Cmd8, "Cmd8", "8", 1, 1, GialloScuro, u""},
        {&FrmRefill::Cmd9, "Cmd9", "9", 2, 1, GialloScuro, u""},
        {&FrmRefill::CmdCanc, "CmdCanc", "Azzera", 3, 1, Rosso, u""},
        {&FrmRefill::Cmd4, "Cmd4", "4", 0, 2, GialloScuro, u""},
        {&FrmRefill::Cmd5, "Cmd5", "5", 1, 2, GialloScuro, u""},
        {&FrmRefill::Cmd6, "Cmd6", "6", 2, 2, GialloScuro, u""},
        {&FrmRefill::CmdDel, "CmdDel", "Del", 3, 2, Oliva, u"Cancella ultima cifra"},
        {&FrmRefill::Cmd1, "Cmd1", "1", 0, 3, GialloScuro, u""},
        {&FrmRefill::Cmd2, "Cmd2", "2", 1, 3, GialloScuro, u""},
        {&FrmRefill::Cmd3, "Cmd3", "3", 2, 3, GialloScuro, u""},
        {&FrmRefill::CmdAnnulla, "CmdAnnulla", "=", 3, 3, Oliva, u"Uguale"},
        {&FrmRefill::Cmd0, "Cmd0", "0", 0, 4, GialloScuro, u""},
        {&FrmRefill::cmdVirgola, "cmdVirgola", ",", 1, 4, GialloScuro, u"Virgola"},
        {&FrmRefill::Cmd00, "Cmd00", "00", 2, 4, GialloScuro, u"Doppio zero"},
        {&FrmRefill::CmdSalva, "CmdSalva", "Salva", 3, 4, VerdeChiaro, u""},
    };
    for (const Tasto& t : tasti) {
        // Columns 1260 apart from 60, rows from 180: neighbours overlap by 15 twips.
        const Twips::Rettangolo posto{float(60 + 1260 * t.colonna), float(180 + 1260 * t.riga),
                                      LatoTasto, LatoTasto};
        PulsanteGrafico* p =
            pulsante(FrmTastiera, t.nome, QLatin1String(t.caption), posto, cifre, t.sfondo);
        p->setNomeAccessibile(QString::fromUtf16(t.nomeAccessibile));
        this->*t.membro = p;
    }
    CmdSalva->setFont(carattere(18, true));
    CmdSalva->setPicture(immagine("salva"), {32, 32});
    CmdCanc->setFont(carattere(13.5));
    CmdCanc->setPicture(immagine("azzera"), {32, 32});

    CmdTrova = pulsante(FrmTastiera, "CmdTrova", QStringLiteral("Cerca"),
                        {2580, 6540, LatoTasto, LatoTasto}, carattere(13.5));
    CmdTrova->setPicture(immagine("cerca"), {32, 32});
    CmdStampa = pulsante(FrmTastiera, "CmdStampa", QStringLiteral("Stampa"),
                         {3840, 6540, LatoTasto, LatoTasto}, carattere(13.5));
    CmdStampa->setPicture(immagine("stampa"), {48, 48});
    CmdChiudi = pulsante(FrmTastiera, "CmdChiudi", QStringLiteral("Chiudi"), {1620, 7080, 975, 735},
                         carattere(9.75, true));
    CmdChiudi->setPicture(immagine("chiudi"), {32, 32});

    Lab1 = etichetta(FrmTastiera, "Lab1", QStringLiteral("Data Registrazione"),
                     {120, 7140, 1455, 375}, stretto(font()));
    Lab1->setForegroundRole(QPalette::Highlight);
    txtData = crea<CampoData>(FrmTastiera, "txtData", {120, 7380, 1455, 375});
    txtData->setFont(stretto(carattere(9.75)));
    txtData->setCalendarPopup(true);
    txtData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    txtData->setAccessibleName(QStringLiteral("Data registrazione"));
    // The field itself is small; the calendar is what a finger has to hit.
    txtData->impostaCalendario({360, 280}, carattere(12));

    // The machine grid and the row of page and display buttons above it.
    FrmApparecchi =
        cornice(this, "FrmApparecchi", {60, 3540, 7335, 6555}, QStringLiteral("Apparecchi"), false);
    const QFont rigaAlta = carattere(9.75, true);
    // Left and width come from the layout.
    const Twips::Rettangolo inAlto{60, 120, 0, LatoTasto};
    Opt3 = pulsante(FrmApparecchi, "Opt3", QStringLiteral("Codice AAMS"), inAlto, rigaAlta, Verde);
    Opt2 = pulsante(FrmApparecchi, "Opt2", QStringLiteral("Nome Apparecchio"), inAlto, rigaAlta,
                    Verde);
    Opt1 =
        pulsante(FrmApparecchi, "Opt1", QStringLiteral("Codice Interno"), inAlto, rigaAlta, Verde);
    for (PulsanteGrafico* opzione : {Opt1, Opt2, Opt3}) {
        opzione->setCheckable(true);
        opzione->setAutoExclusive(true);
    }
    Opt1->setChecked(true);

    const QFont macchine = carattere(12, true);
    const char* const lettere = "abcdefghilmnopqr";
    for (int i = 0; i < NumeroPulsanti; ++i) {
        const QByteArray nome = "CmdApparecchio_" + QByteArray::number(i);
        PulsanteGrafico* p =
            pulsante(FrmApparecchi, nome.constData(), QString(QLatin1Char(lettere[i])), {},
                     macchine, i == 0 ? QColor() : Teal);
        p->setTag(QStringLiteral("0"));
        p->setRuoloAccessibile(QStringLiteral("Apparecchio %1").arg(i + 1));
        CmdApparecchio[std::size_t(i)] = p;
    }

    CmdDietro = pulsante(FrmApparecchi, "CmdDietro", QString(), inAlto, rigaAlta, Verde);
    CmdDietro->setPicture(immagine("indietro"), {80, 51});
    CmdDietro->setNomeAccessibile(QStringLiteral("Pagina precedente"));
    CmdAvanti = pulsante(FrmApparecchi, "CmdAvanti", QString(), inAlto, rigaAlta, Verde);
    CmdAvanti->setPicture(immagine("avanti"), {80, 51});
    CmdAvanti->setNomeAccessibile(QStringLiteral("Pagina successiva"));

    // The black information band.
    Picture1 =
        cornice(this, "Picture1", {60, 60, 12555, 2715}, QStringLiteral("Informazioni"), true);
    // Below the labels, so a prompt running over it stays readable.
    Image1 = crea<Etichetta>(Picture1, "Image1", {5400, 420, 1920, 1920});
    Image1->setScaledContents(true);
    Image1->setPixmap(immagine("hopper").pixmap(QSize(128, 128), devicePixelRatio()));
    Image1->setAccessibleName(QStringLiteral("Immagine hopper"));

    LabApparecchio =
        etichettaNera(Picture1, "LabApparecchio", QStringLiteral("Selezionare un apparecchio"),
                      {180, 120, 6855, 1635}, VerdeChiaro, carattere(18));
    LabApparecchio->setWordWrap(true);
    LabTotali = etichettaNera(Picture1, "LabTotali",
                              QStringLiteral("Riepilogo Refill della giornata  ") +
                                  QString(42, QLatin1Char('.')),
                              {120, 2160, 7155, 435}, Qt::white, carattere(13.5));

    FrmConto = cornice(Picture1, "FrmConto", {7320, 0, 5115, 2595}, QStringLiteral("Conto"), true);
    ChkConferma = crea<QCheckBox>(FrmConto, "ChkConferma", {0, 120, 5115, 315});
    ChkConferma->setText(QStringLiteral("Conferma salvataggio"));
    ChkConferma->setAccessibleName(QStringLiteral("Conferma salvataggio"));
    ChkConferma->setChecked(true);
    // A touch target in its own right: a size larger than the form's small default.
    ChkConferma->setFont(carattere(9.75));
    colori(ChkConferma, QPalette::WindowText, Qt::white);
    LabConto = etichettaNera(FrmConto, "LabConto", QStringLiteral("0,00"), {180, 840, 4455, 435},
                             QColor(255, 255, 128), carattere(18, true), Qt::AlignRight);
    LabConto->hide();
    LabOperazione = etichettaNera(FrmConto, "LabOperazione", QStringLiteral("A"),
                                  {4740, 840, 255, 375}, QColor(192, 64, 0), carattere(18));
    LabTitolo = etichettaNera(FrmConto, "LabTitolo", QStringLiteral("Valore Refill"),
                              {180, 1440, 4755, 555}, QColor(255, 255, 0), carattere(13.5));
    LabValore = etichettaNera(FrmConto, "LabValore", QStringLiteral("0,00"), {180, 1860, 4755, 555},
                              QColor(255, 255, 0), carattere(24, true), Qt::AlignRight);

    testoBottone->lower();
    Bottone->lower();

    // The machine buttons have no created place of their own: lay out once at the
    // created size so they have one before the form is first shown.
    Form_Resize();
}

} // namespace KaloRefill
