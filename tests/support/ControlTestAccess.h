#pragma once
// Tests read and set the control's member state through this one friend.

#include "control/Ctr_Tessaran.h"

namespace tessaran::control {

class ControlTestAccess {
public:
    explicit ControlTestAccess(Ctr_Tessaran& control) : c_(control) {}

#define TESSARAN_MEMBER(name) \
    auto& name() { return c_.name; }
    TESSARAN_MEMBER(ListeFluxComplement)
    TESSARAN_MEMBER(ListeActivites)
    TESSARAN_MEMBER(Detail)
    TESSARAN_MEMBER(Cumul)
    TESSARAN_MEMBER(TwipsParCm)
    TESSARAN_MEMBER(CodeAssoCourante)
    TESSARAN_MEMBER(SecteurCourant)
    TESSARAN_MEMBER(NumFacture)
    TESSARAN_MEMBER(SuitePage)
    TESSARAN_MEMBER(ModeImpression)
    TESSARAN_MEMBER(MultiSecteur)
    TESSARAN_MEMBER(PremiereCopie)
    TESSARAN_MEMBER(PeriodeDetail)
    TESSARAN_MEMBER(LibelleDetail)
    TESSARAN_MEMBER(TotalCaisse)
    TESSARAN_MEMBER(TotalFrais)
    TESSARAN_MEMBER(TotalHeures)
    TESSARAN_MEMBER(TotalBenef)
    TESSARAN_MEMBER(HeuresDetail)
    TESSARAN_MEMBER(CaisseDetail)
    TESSARAN_MEMBER(FraisDetail)
    TESSARAN_MEMBER(BenefDetail)
    TESSARAN_MEMBER(Printer_)
#undef TESSARAN_MEMBER

    void startPrinter(int index) { c_.startPrinter(index); }

private:
    Ctr_Tessaran& c_;
};

}  // namespace tessaran::control
