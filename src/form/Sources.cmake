target_sources(kalorefill PRIVATE
    form/FrmRefill.cpp form/FrmRefill.h
    form/Messaggio.cpp form/Messaggio.h
    form/Politica.cpp form/Politica.h
    form/PulsanteGrafico.cpp form/PulsanteGrafico.h
    form/Etichetta.cpp form/Etichetta.h)
