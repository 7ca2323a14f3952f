target_sources(kalorefill PRIVATE
    search/ComponenteRicerca.h
    search/DataRisposta.cpp search/DataRisposta.h
    search/RicercaRefill.cpp search/RicercaRefill.h)
