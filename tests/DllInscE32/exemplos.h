// The examples of the registration rules, one table per state: the worked
// examples of each state's rule, numbers quoted or in use, numbers built to
// pin a rule down, valid and invalid; then the boundaries of each rule
// (lengths one short and one long, fixed digits, ranges, the two formats or
// moduli of a state).
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace dllinsce32::teste {

struct Exemplo {
  std::string_view inscricao;
  int esperado;  // 0 correct for the state, 1 not
  std::string_view regra;
};

// AC (Acre)
inline constexpr Exemplo kAC[] = {
    {"0100482300112", 0, "Published"},
    {"0112345678940", 0, "Constructed"},
    {"0198765432134", 0, "Constructed"},
    {"0100000000163", 0, "Constructed"},
    {"0100482300113", 1, "Second check digit wrong"},
    {"0100482300102", 1, "First check digit wrong"},
    {"0200482300112", 1, "Does not start with 01"},
    {"010048230011", 1, "12 digits"},
    // Boundaries
    {"01004823001120", 1, "14 digits"},
    {"0000482300112", 1, "Prefix 00"},
    {"0700482300112", 1, "Prefix 07 belongs to DF"},
};

// AL (Alagoas)
inline constexpr Exemplo kAL[] = {
    {"240000048", 0, "Published"},
    {"242031501", 0, "Constructed; third digit 2 is accepted"},
    {"248123459", 0, "Constructed"},
    {"240000049", 1, "Check digit wrong"},
    {"248123458", 1, "Check digit wrong"},
    {"250000048", 1, "Does not start with 24"},
    {"008117080", 1, "prefix not 24"},
    // Boundaries
    {"24000004", 1, "8 digits"},
    {"2400000480", 1, "10 digits"},
};

// AP (Amapá)
inline constexpr Exemplo kAP[] = {
    {"030123459", 0, "Published; range p=5 d=0"},
    {"030000080", 0, "Constructed; p=5, 11-r = 10 -> 0"},
    {"030170071", 0, "Constructed; p=9, 11-r = 11 -> d = 1"},
    {"030171077", 0, "Constructed; p=9"},
    {"030190290", 0, "Constructed; p=0, 11-r = 11 -> d = 0"},
    {"031234569", 0, "Constructed; p=0"},
    {"030123458", 1, "Check digit wrong"},
    {"030170070", 1, "Check digit wrong (p=9 range wants 1)"},
    {"040123459", 1, "Does not start with 03"},
    {"030000000", 1, "Base 03000000 is below every range"},
    // Boundaries
    {"030000012", 0, "Boundary: 03000001, the first of the range p=5"},
    {"030170007", 0, "Boundary: 03017000, the last of the range p=5"},
    {"030170011", 0, "Boundary: 03017001, the first of the range p=9"},
    {"030190225", 0, "Boundary: 03019022, the last of the range p=9"},
    {"030190231", 0, "Boundary: 03019023, the first of the range p=0"},
    {"03012345", 1, "8 digits"},
    {"0301234590", 1, "10 digits"},
};

// AM (Amazonas)
inline constexpr Exemplo kAM[] = {
    {"041171616", 0, "Quoted"},
    {"999999990", 0, "Constructed"},
    {"806089008", 0, "Quoted"},
    {"000000019", 0, "Constructed; sum 2 < 11 -> 11 - 2 = 9"},
    {"041171617", 1, "Check digit wrong"},
    {"806089002", 1, "Check digit wrong"},
    {"000000000", 1, "Sum 0 gives 11, no valid digit"},
    {"000000000", 1, "S = 0 gives 11, no digit"},
    // Boundaries
    {"04117161", 1, "8 digits"},
    {"0411716160", 1, "10 digits"},
};

// BA (Bahia)
inline constexpr Exemplo kBA[] = {
    {"12345663", 0, "Published; 8 digits, modulus 10"},
    {"61234557", 0, "Quoted; 8 digits, modulus 11"},
    {"60000140", 0, "Constructed; 8 digits, modulus 11, remainder 0"},
    {"100000306", 0, "Quoted; 9 digits, modulus 10"},
    {"123456748", 0, "Published; 9 digits, modulus 10"},
    {"162345651", 0, "Published; 9 digits, 2nd digit 6 -> modulus 11"},
    {"712345657", 0, "Constructed; 9 digits, 2nd digit 1 -> modulus 10"},
    {"077028884", 0, "In use; 9 digits, 2nd digit 7 -> modulus 11"},
    {"12345664", 1, "Second check digit wrong"},
    {"61234567", 1, "First check digit wrong"},
    {"162345652", 1, "Second check digit wrong"},
    {"123456749", 1, "Second check digit wrong"},
    {"1234566", 1, "7 digits"},
    // Boundaries
    {"81234534", 0, "8 digits, 1st digit 8 -> modulus 10"},
    {"81234564", 1, "8 digits, 1st digit 8: the modulus 11 digits fail"},
    {"91234518", 0, "8 digits, 1st digit 9 -> modulus 11"},
    {"61234518", 1, "8 digits, 1st digit 6: the modulus 10 digits fail"},
    {"902345638", 0, "9 digits, 2nd digit 0 -> modulus 10 though the 1st is 9"},
    {"902345631", 1, "9 digits, 2nd digit 0: the modulus 11 digits fail"},
    {"192345612", 0, "9 digits, 2nd digit 9 -> modulus 11"},
    {"192345619", 1, "9 digits, 2nd digit 9: the modulus 10 digits fail"},
    {"1234567480", 1, "10 digits"},
};

// CE (Ceará)
inline constexpr Exemplo kCE[] = {
    {"060000015", 0, "Published"},
    {"061234567", 0, "Constructed"},
    {"069876541", 0, "Constructed"},
    {"060000016", 1, "Check digit wrong"},
    {"061234565", 1, "Check digit wrong"},
    {"081403410", 0, "no fixed prefix"},
    // Boundaries
    {"06000001", 1, "8 digits"},
    {"0600000150", 1, "10 digits"},
};

// DF (Distrito Federal)
inline constexpr Exemplo kDF[] = {
    {"0730000100109", 0, "Published"},
    {"0759713000214", 0, "In use"},
    {"0812345678952", 0, "Constructed; prefix 08"},
    {"0730000100108", 1, "Second check digit wrong"},
    {"0759713000224", 1, "First check digit wrong"},
    {"0930000100109", 1, "Prefix 09 not accepted"},
    {"0039612025859", 1, "prefix neither 07 nor 08"},
    // Boundaries
    {"073000010010", 1, "12 digits"},
    {"07300001001090", 1, "14 digits"},
    {"0100482300112", 1, "Prefix 01 belongs to AC"},
};

// ES (Espírito Santo)
inline constexpr Exemplo kES[] = {
    {"999999990", 0, "Constructed"},
    {"301188327", 0, "Quoted"},
    {"082560145", 0, "Constructed"},
    {"999999991", 1, "Check digit wrong"},
    {"301188326", 1, "Check digit wrong"},
    // Boundaries
    {"30118832", 1, "8 digits"},
    {"3011883270", 1, "10 digits"},
};

// GO (Goiás)
inline constexpr Exemplo kGO[] = {
    {"109876547", 0, "Published"},
    {"200024825", 0, "In use; prefix 20"},
    {"201050412", 0, "In use"},
    {"101153600", 0, "In use; remainder 0"},
    {"101031051", 0, "Constructed; remainder 1 inside the legacy range -> 1"},
    {"101200030", 0, "Constructed; remainder 1 outside the range -> 0"},
    {"200000080", 0, "Constructed; remainder 1, prefix 20 -> 0"},
    {"110944020", 0, "Legacy exception, digit 0"},
    {"110944021", 0, "Legacy exception, digit 1"},
    {"109876548", 1, "Check digit wrong"},
    {"200024826", 1, "Check digit wrong"},
    {"101031050", 1, "Inside the legacy range remainder 1 needs 1"},
    {"101200031", 1, "Outside the range remainder 1 needs 0"},
    {"159876547", 1, "Prefix 15 not accepted"},
    {"129876547", 1, "Prefix 12 not accepted"},
    {"101153600", 0,
     "inside the legacy range 10103105–10119997 with r = 0: check digit 0 (an implementation that swaps r = 0 and r = "
     "1 there rejects it)"},
    {"110944021", 0, "the base 11094402 with 1"},
    {"213664542", 0, "prefix 21"},
    // Boundaries
    {"101199971", 0, "Boundary: base 10119997, the last of the legacy range, remainder 1 -> 1"},
    {"101199970", 1, "Boundary: base 10119997 needs 1"},
    {"101030860", 0, "Below the legacy range (base 10103086), remainder 1 -> 0"},
    {"101030861", 1, "Below the legacy range remainder 1 needs 0"},
    {"111234565", 0, "Prefix 11"},
    {"291234569", 0, "Prefix 29"},
    {"191234567", 1, "Prefix 19 not accepted"},
    {"301234566", 1, "Prefix 30 not accepted"},
    {"110944022", 1, "Legacy exception accepts only 0 or 1"},
    {"10987654", 1, "8 digits"},
    {"1098765470", 1, "10 digits"},
};

// MA (Maranhão)
inline constexpr Exemplo kMA[] = {
    {"120000385", 0, "Published"},
    {"121234568", 0, "Constructed"},
    {"129999997", 0, "Constructed"},
    {"120000386", 1, "Check digit wrong"},
    {"121234569", 1, "Check digit wrong"},
    {"130000385", 1, "Does not start with 12"},
    // Boundaries
    {"12000038", 1, "8 digits"},
    {"1200003850", 1, "10 digits"},
};

// MT (Mato Grosso)
inline constexpr Exemplo kMT[] = {
    {"00130000019", 0, "Published"},
    {"130000019", 0, "Same number written with 9 digits"},
    {"0130000019", 0, "Same number written with 10 digits"},
    {"00132472686", 0, "Constructed"},
    {"00140000003", 0, "Constructed; prefix 14"},
    {"00130000018", 1, "Check digit wrong"},
    {"130000010", 1, "Check digit wrong"},
    {"13000001", 1, "8 digits"},
    {"00130000019", 0, "11 digits"},
    {"0130000019", 0, "10 digits, zero-padded"},
    {"130000019", 0, "9 digits, zero-padded"},
    // Boundaries
    {"000130000019", 1, "12 digits, even with a leading zero"},
    {"000000000", 0, "All zeros: the rule as written gives 0"},
    {"01300000190", 1, "11 digits, the 10-digit number followed by a digit"},
};

// MS (Mato Grosso do Sul)
inline constexpr Exemplo kMS[] = {
    {"280405383", 0, "Quoted"},
    {"283123451", 0, "Constructed"},
    {"289999995", 0, "Constructed"},
    {"280405384", 1, "Check digit wrong"},
    {"283123452", 1, "Check digit wrong"},
    {"290405383", 1, "Does not start with 28"},
    // Boundaries
    {"28040538", 1, "8 digits"},
    {"2804053830", 1, "10 digits"},
};

// MG (Minas Gerais)
inline constexpr Exemplo kMG[] = {
    {"0623079040081", 0, "Published"},
    {"7029855470002", 0, "In use"},
    {"3133012340033", 0, "Constructed"},
    {"0620000070008", 0, "Constructed; first check digit 0"},
    {"0623079040082", 1, "Second check digit wrong"},
    {"0623079040091", 1, "First check digit wrong"},
    {"7029855470012", 1, "First check digit wrong"},
    // Boundaries
    {"062307904008", 1, "12 digits"},
    {"06230790400810", 1, "14 digits"},
    {"0000000000000", 0, "All zeros: the rule as written gives 0 and 0"},
};

// PA (Pará)
inline constexpr Exemplo kPA[] = {
    {"159999995", 0, "Published"},
    {"750000023", 0, "Quoted; prefix 75"},
    {"151234566", 0, "Constructed"},
    {"791234568", 0, "Constructed; prefix 79"},
    {"159999996", 1, "Check digit wrong"},
    {"750000024", 1, "Check digit wrong"},
    {"169999995", 1, "Prefix 16 not accepted"},
    {"750000023", 0, "prefix 75"},
    // Boundaries
    {"761234560", 0, "Prefix 76"},
    {"771234562", 0, "Prefix 77"},
    {"781234565", 0, "Prefix 78"},
    {"741234564", 1, "Prefix 74 not accepted"},
    {"801234565", 1, "Prefix 80 not accepted"},
    {"161234569", 1, "Prefix 16 not accepted"},
    {"15999999", 1, "8 digits"},
};

// PB (Paraíba)
inline constexpr Exemplo kPB[] = {
    {"060000015", 0, "Published"},
    {"161234569", 0, "Constructed"},
    {"160000017", 0, "Constructed"},
    {"060000016", 1, "Check digit wrong"},
    {"161234566", 1, "Check digit wrong"},
    // Boundaries
    {"06000001", 1, "8 digits"},
    {"0600000150", 1, "10 digits"},
};

// PR (Paraná)
inline constexpr Exemplo kPR[] = {
    {"1234567850", 0, "Published"},
    {"9025821693", 0, "In use"},
    {"7010435883", 0, "In use"},
    {"1234567851", 1, "Second check digit wrong"},
    {"1234567840", 1, "First check digit wrong"},
    {"9025821694", 1, "Second check digit wrong"},
    // Boundaries
    {"123456785", 1, "9 digits"},
    {"12345678500", 1, "11 digits"},
};

// PE (Pernambuco)
inline constexpr Exemplo kPE[] = {
    {"032141840", 0, "Published; 9 digits"},
    {"18100100000049", 0, "Published; 14 digits"},
    {"18119003256336", 0, "In use; 14 digits"},
    {"18100000000021", 0, "Constructed; 14 digits, 11-r = 11 -> 1"},
    {"18100000000080", 0, "Constructed; 14 digits, 11-r = 10 -> 0"},
    {"032141841", 1, "Second check digit wrong"},
    {"032141850", 1, "First check digit wrong"},
    {"18100100000048", 1, "Check digit wrong"},
    {"1810010000004", 1, "13 digits"},
    {"67520120", 1, "8 digits is no PE format"},
    {"18100100000049", 0, "the 14-digit format"},
    // Boundaries
    {"03214184", 1, "8 digits"},
    {"0321418400", 1, "10 digits"},
    {"181001000000490", 1, "15 digits"},
    {"00000000000000", 1, "14 zeros: mapping B wants 1"},
    {"00000000000001", 0, "14 digits, sum 0 -> 1"},
};

// PI (Piauí)
inline constexpr Exemplo kPI[] = {
    {"012345679", 0, "Quoted"},
    {"190000015", 0, "Constructed"},
    {"199999996", 0, "Constructed"},
    {"012345678", 1, "Check digit wrong"},
    {"190000016", 1, "Check digit wrong"},
    // Boundaries
    {"01234567", 1, "8 digits"},
    {"0123456790", 1, "10 digits"},
};

// RN (Rio Grande do Norte)
inline constexpr Exemplo kRN[] = {
    {"200400401", 0, "Quoted; 9 digits"},
    {"2000400400", 0, "Quoted; 10 digits"},
    {"201234564", 0, "Constructed"},
    {"200400402", 1, "Check digit wrong"},
    {"2000400401", 1, "Check digit wrong"},
    {"210400401", 1, "Does not start with 20"},
    // Boundaries
    {"20040040", 1, "8 digits"},
    {"20004004000", 1, "11 digits"},
    {"2100400400", 1, "10 digits not starting with 20"},
};

// RJ (Rio de Janeiro)
inline constexpr Exemplo kRJ[] = {
    {"99999993", 0, "Quoted"},
    {"12345674", 0, "Constructed"},
    {"78123451", 0, "Constructed"},
    {"99999994", 1, "Check digit wrong"},
    {"12345670", 1, "Check digit wrong"},
    // Boundaries
    {"9999999", 1, "7 digits"},
    {"999999930", 1, "9 digits"},
};

// RO (Rondônia)
inline constexpr Exemplo kRO[] = {
    {"101625213", 0, "Published; 9-digit format"},
    {"00000000625213", 0, "Published; 14-digit format"},
    {"00000001234561", 0, "Constructed"},
    {"101000001", 0, "Constructed; 9 digits, 11-r = 11 -> 1"},
    {"101000060", 0, "Constructed; 9 digits, 11-r = 10 -> 0"},
    {"00000000000141", 0, "Constructed; 14 digits, 11-r = 11 -> 1"},
    {"101625214", 1, "Check digit wrong"},
    {"00000000625214", 1, "Check digit wrong"},
    {"0000000062521", 1, "13 digits"},
    {"39206839474860", 0, "14 digits, mapping B"},
    {"39206839474861", 1, "14 digits, check digit wrong"},
    {"786297861", 0, "9 digits, mapping B (10 or 11 subtract 10)"},
    {"786297860", 1, "9 digits: mapping A would accept it"},
    {"00000000297861", 0, "the 14-digit form of the 9-digit number keeps its check digit"},
    // Boundaries
    {"999625213", 0, "9 digits: the municipality code stays out of the sum"},
    {"10162521", 1, "8 digits"},
    {"1016252130", 1, "10 digits"},
    {"000000006252130", 1, "15 digits"},
    {"00000000000000", 1, "14 zeros: mapping B wants 1"},
};

// RS (Rio Grande do Sul)
inline constexpr Exemplo kRS[] = {
    {"2243658792", 0, "Quoted"},
    {"1001234569", 0, "Constructed"},
    {"0960000003", 0, "Constructed"},
    {"2243658793", 1, "Check digit wrong"},
    {"1001234567", 1, "Check digit wrong"},
    // Boundaries
    {"224365879", 1, "9 digits"},
    {"22436587920", 1, "11 digits"},
};

// RR (Roraima)
inline constexpr Exemplo kRR[] = {
    {"240066281", 0, "Quoted"},
    {"240017556", 0, "Quoted"},
    {"240034290", 0, "Quoted"},
    {"240061536", 0, "Quoted"},
    {"240066282", 1, "Check digit wrong"},
    {"240017555", 1, "Check digit wrong"},
    {"250066281", 1, "Does not start with 24"},
    // Boundaries
    {"24006628", 1, "8 digits"},
    {"2400662810", 1, "10 digits"},
};

// SC (Santa Catarina)
inline constexpr Exemplo kSC[] = {
    {"251040852", 0, "Quoted"},
    {"250000016", 0, "Constructed"},
    {"254123457", 0, "Constructed"},
    {"251040853", 1, "Check digit wrong"},
    {"250000010", 1, "Check digit wrong"},
    // Boundaries
    {"25104085", 1, "8 digits"},
    {"2510408520", 1, "10 digits"},
};

// SP (São Paulo)
inline constexpr Exemplo kSP[] = {
    {"110042490114", 0, "Published; first check digit from remainder 10"},
    {"111222330446", 0, "Constructed"},
    {"P011004243002", 0, "Published rural producer"},
    {"P012345675001", 0, "Constructed rural producer"},
    {"110042490115", 1, "Second check digit wrong"},
    {"110042491114", 1, "First check digit wrong"},
    {"P011004244002", 1, "Rural check digit wrong"},
    {"P01100424300", 1, "Rural form with 11 digits"},
    {"P012345675001", 0, "rural producer"},
    // Boundaries
    {"11004249011", 1, "11 digits"},
    {"1100424901140", 1, "13 digits"},
    {"P0110042430020", 1, "Rural form with 13 digits"},
    {"P011004243999", 0, "Rural: the last three digits are free"},
    {"P111004244999", 0, "Rural: the digit after the P is not fixed"},
    {"P", 1, "P alone"},
    {"PP011004243002", 1, "Two letters P"},
    {"0P11004243002", 1, "P not in the first place"},
    {"110042490114P", 1, "P at the end"},
};

// SE (Sergipe)
inline constexpr Exemplo kSE[] = {
    {"271234563", 0, "Constructed"},
    {"270000011", 0, "Constructed"},
    {"279999992", 0, "Constructed"},
    {"271234564", 1, "Check digit wrong"},
    {"270000010", 1, "Check digit wrong"},
    // Boundaries
    {"27123456", 1, "8 digits"},
    {"2712345630", 1, "10 digits"},
};

// TO (Tocantins)
inline constexpr Exemplo kTO[] = {
    {"29010227836", 0, "Published; 11-digit format, type 01"},
    {"29022783604", 0, "Constructed; 11-digit format, type 02"},
    {"29991234569", 0, "Constructed; 11-digit format, type 99"},
    {"290227836", 0, "Constructed; 9-digit format"},
    {"294467696", 0, "Constructed; 9-digit format"},
    {"29010227837", 1, "Check digit wrong"},
    {"29040227836", 1, "Type digits 04 not accepted"},
    {"294467690", 1, "Check digit wrong"},
    {"2944676960", 1, "10 digits"},
    // Boundaries
    {"29030227836", 0, "11-digit format, type 03"},
    {"29000227836", 1, "Type digits 00 not accepted"},
    {"29980227836", 1, "Type digits 98 not accepted"},
    {"29022783", 1, "8 digits"},
    {"290102278360", 1, "12 digits"},
};

struct TabelaEstado {
  std::string_view uf;
  std::span<const Exemplo> exemplos;
};

// A failing table is named by its state.
inline void PrintTo(const TabelaEstado& tabela, std::ostream* os) { *os << tabela.uf; }

inline constexpr TabelaEstado kTabelas[] = {
    {"AC", kAC}, {"AL", kAL}, {"AP", kAP}, {"AM", kAM}, {"BA", kBA}, {"CE", kCE}, {"DF", kDF}, {"ES", kES}, {"GO", kGO},
    {"MA", kMA}, {"MT", kMT}, {"MS", kMS}, {"MG", kMG}, {"PA", kPA}, {"PB", kPB}, {"PR", kPR}, {"PE", kPE}, {"PI", kPI},
    {"RN", kRN}, {"RJ", kRJ}, {"RO", kRO}, {"RS", kRS}, {"RR", kRR}, {"SC", kSC}, {"SP", kSP}, {"SE", kSE}, {"TO", kTO},
};

}  // namespace dllinsce32::teste
