#include "core/Approved.h"

#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/vbrt/Strings.h"

namespace core {

namespace {

// Every supported form code, each followed by a comma.
std::string BuiltInForms() {
  std::string list = "UA5,EOI,MFH,AUC3,ICU,ECU,FR4,FA4,ICI,ECI,SRI,";
  list += "NUR,NEO,NCU,NCE,NRI,NVL,ANVL,";
  list += "FSE,DVA,RECON,";
  list += "2045,2065,CMR,2075,BPO,704,71A,71B,ADR,";
  list += "SAR,ER5,BMA,RNF,MOB,LAR,ALAR,";
  list += "UCIAR,704SUMRY,DT2,BA2,EVAL,2006,79,DAWI,DT3,";
  list += "UA2,CIA,CN2,DUQ,QAR,FR2,FRR,MUL,2095,BAT,";
  list += "NDU,MCS,RBR,NL69,SRR,DVS,URR,EDR,";
  list += "RELS,SSDVR,CIRR,N71B,MREC,CDI,";
  return list;
}

}  // namespace

std::string TrimUpper(const std::string& text) {
  return vb::UCase(vb::Trim(text));
}

bool IsApprovedForm(const std::string& formType) {
  std::string list = BuiltInForms();
  const std::string extra = TrimUpper(ReadIni(gKepIniPath, "FORMS", "FORMS", ""));
  if (!extra.empty()) {
    list += extra;
    if (list.back() != ',') list += ',';
  }
  return vb::InStr(list, vb::UCase(formType) + ",") > 0;
}

}  // namespace core
