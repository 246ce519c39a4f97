#include "DemoData.h"

#include "Clock.h"
#include "InventoryCodes.h"
#include "Records.h"
#include "Schema.h"
#include "WSIDatabase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tavel {
namespace {

template <std::size_t N> void Put(char (&dst)[N], const char* src) {
    std::size_t n = std::strlen(src);
    if (n > N - 1)
        n = N - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

double RoundCents(double x) {
    return std::floor(x * 100 + 0.5) / 100;
}

// The GS1 check digit of the digits before it: weights 3 and 1 alternate from the right.
char CheckDigit(const std::string& body) {
    int sum = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const int digit = body[body.size() - 1 - i] - '0';
        sum += digit * (i % 2 == 0 ? 3 : 1);
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// A manufacturer's company prefix, the same for every product it makes (FNV-1a of the
// name keeps it stable without a table of prefixes).
std::string CompanyPrefix(const char* maker) {
    std::uint32_t h = 2166136261u;
    for (const char* c = maker; *c; ++c)
        h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
    std::string prefix = "0";
    prefix += std::to_string(100000 + h % 900000);
    return prefix;
}

// n as exactly width digits, zeros in front.
std::string Digits(int n, std::size_t width) {
    std::string text = std::to_string(n);
    return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
}

// A product sold by the box, pack, case or kit carries a GTIN-14 (packaging indicator 1);
// one sold by the piece an EAN-13.
std::string Gtin(const char* maker, int itemReference, bool packaged) {
    const std::string ref = Digits(itemReference % 100000, 5);
    std::string body = (packaged ? "1" : "") + CompanyPrefix(maker) + ref;
    return body + CheckDigit(body);
}

const char* const kTypes[] = {"Medical supplies", "Pharmaceuticals", "IV and infusion",
                              "Laboratory supplies"};
constexpr int kTypeCount = sizeof(kTypes) / sizeof(kTypes[0]);

struct CategoryDef {
    int type;
    const char* code;
    const char* description;
    char aisle; // first letter of the store room's bins
};
const CategoryDef kCategories[] = {
    {0, "SYR", "Syringes and needles", 'A'},
    {0, "GLV", "Gloves", 'B'},
    {0, "DRS", "Dressings", 'C'},
    {0, "PREP", "Skin preparation", 'C'},
    {0, "WND", "Wound closure", 'E'},
    {0, "DIAG", "Examination supplies", 'F'},
    {0, "PPE", "Protective equipment", 'G'},
    {1, "VAC", "Vaccines", 'V'},
    {1, "INJ", "Injectables", 'D'},
    {1, "ORAL", "Oral medications", 'H'},
    {1, "TOPI", "Topicals", 'H'},
    {2, "IVF", "IV solutions", 'J'},
    {2, "IVS", "IV sets and catheters", 'K'},
    {3, "LABC", "Specimen collection", 'L'},
    {3, "LABT", "Point-of-care tests", 'M'},
};

const CategoryDef* Category(const char* code) {
    for (const CategoryDef& c : kCategories)
        if (std::strcmp(c.code, code) == 0)
            return &c;
    return nullptr;
}

struct UnitDef {
    const char* description;
    short dividable;
};
const UnitDef kUnits[] = {{"Each", 0},   {"Box", 1},     {"Pack", 1},    {"Vial", 0},
                          {"Pair", 0},   {"Case", 1},    {"Ampoule", 0}, {"Bag", 0},
                          {"Bottle", 1}, {"Tube", 0},    {"Roll", 0},    {"Kit", 1},
                          {"Tablet", 0}, {"Capsule", 0}, {"Test", 0},    {"Strip", 0}};

bool IsPackaged(const char* unit) {
    for (const char* u : {"Box", "Pack", "Case", "Kit"})
        if (std::strcmp(unit, u) == 0)
            return true;
    return false;
}

struct VendorDef {
    const char* name;
    const char* address;
    const char* city;
    const char* province;
    const char* postal;
    const char* area;
    const char* phone;
    const char* fax;
    const char* poPrefix; // how its purchase-order numbers start
};
const VendorDef kVendors[] = {
    {"Northline Medical Supply", "1200 Dundas St W", "Toronto", "ON", "M6J 1X5", "416", "555-0142",
     "555-0143", "NMS"},
    {"Maple Pharma Distribution", "88 Matheson Blvd E", "Mississauga", "ON", "L4Z 1X1", "905",
     "555-0187", "555-0188", "MPD"},
    {"Lakeshore Laboratory Products", "455 Rymal Rd E", "Hamilton", "ON", "L8W 3X7", "905",
     "555-0119", "", "LLP"},
    {"Laurentian Surgical Inc.", "2250 Rue Guy", "Montreal", "QC", "H3H 2M3", "514", "555-0161",
     "555-0162", "LSI"},
    {"Rideau Infusion Systems", "70 Hines Rd", "Ottawa", "ON", "K2K 2M5", "613", "555-0130", "",
     "RIS"},
};
constexpr int kVendorCount = sizeof(kVendors) / sizeof(kVendors[0]);
enum Vendor { Northline, MaplePharma, Lakeshore, Laurentian, Rideau };

// Products come in families that share everything but size or strength.
struct Variant {
    const char* code;
    const char* text; // follows the family's name in the description
    double cost;
    const char* maker = nullptr; // else the family's
    const char* unit = nullptr;  // else the family's
    short items = 0;             // items per unit with its own unit; 0: one of the unit
    const char* itemUnit = nullptr;
};
struct Family {
    const char* name;
    const char* category;
    const char* unit;
    short itemsPerUnit;
    const char* itemUnit;
    int vendor;
    const char* maker;
    short dividable;
    short trackExpiry;
    short costing;
    std::vector<Variant> variants;
};

using namespace CostingMethod;

// clang-format off
const std::vector<Family>& Families() {
    static const std::vector<Family> families = {
        // Syringes and needles
        {"Syringe", "SYR", "Box", 100, "Each", Northline, "Medline", 1, 0, OldestFirst,
         {{"SYR1TB", "1 mL tuberculin", 16.75}, {"SYR3ML", "3 mL luer lock", 18.50},
          {"SYR5ML", "5 mL luer lock", 19.80}, {"SYR10ML", "10 mL luer lock", 22.40},
          {"SYR20ML", "20 mL luer lock", 31.00}, {"SYR60ML", "60 mL catheter tip", 48.00}}},
        {"Insulin syringe", "SYR", "Box", 100, "Each", Northline, "BD", 1, 0, OldestFirst,
         {{"SYRIN03", "0.3 mL 31G x 6 mm", 28.50}, {"SYRIN05", "0.5 mL 30G x 8 mm", 27.90},
          {"SYRIN10", "1 mL 29G x 12.7 mm", 27.50}}},
        {"Needle", "SYR", "Box", 100, "Each", Northline, "BD", 1, 0, OldestFirst,
         {{"NDL18G", "18G x 1 1/2 in", 9.40}, {"NDL21G", "21G x 1 in", 9.50},
          {"NDL22G", "22G x 1 1/2 in", 9.50}, {"NDL23G", "23G x 1 in", 9.60},
          {"NDL25G", "25G x 5/8 in", 9.80}, {"NDL27G", "27G x 1/2 in", 10.20},
          {"NDL30G", "30G x 1/2 in", 11.40}, {"NDLBLF", "blunt fill 18G x 1 1/2 in", 12.80}}},
        {"Safety needle", "SYR", "Box", 50, "Each", Northline, "BD", 1, 0, OldestFirst,
         {{"SNDL22G", "22G x 1 in", 24.00}, {"SNDL25G", "25G x 1 in", 24.00},
          {"SNDL25GL", "25G x 1 1/2 in", 24.50}}},
        {"Sharps container", "SYR", "Each", 1, "Each", Northline, "Covidien", 0, 0, OldestFirst,
         {{"SHRP1L", "1.4 L", 4.20}, {"SHRP5L", "5.1 L", 9.60}, {"SHRP19L", "19 L floor", 24.00}}},
        // Gloves
        {"Nitrile exam gloves,", "GLV", "Box", 100, "Each", Northline, "Halyard", 1, 0,
         RunningAverage,
         {{"GLVNTS", "small", 11.20}, {"GLVNTM", "medium", 11.20}, {"GLVNTL", "large", 11.00},
          {"GLVNTXL", "extra large", 11.60}}},
        {"Vinyl exam gloves,", "GLV", "Box", 100, "Each", Northline, "Medline", 1, 0,
         RunningAverage,
         {{"GLVVNS", "small", 6.40}, {"GLVVNM", "medium", 6.40}, {"GLVVNL", "large", 6.40}}},
        {"Sterile surgical gloves", "GLV", "Box", 50, "Pair", Northline, "Ansell", 1, 1,
         EarliestExpiry,
         {{"GLVSTR60", "6.0", 42.00}, {"GLVSTR65", "6.5", 42.00}, {"GLVSTR70", "7.0", 42.00},
          {"GLVSTR75", "7.5", 42.00}, {"GLVSTR80", "8.0", 42.00}, {"GLVSTR85", "8.5", 43.50}}},
        // Dressings
        {"Gauze sponge", "DRS", "Pack", 25, "Each", Northline, "Covidien", 1, 1, EarliestExpiry,
         {{"GAUZE2", "2 x 2 in, sterile", 4.10}, {"GAUZE4", "4 x 4 in, sterile", 6.40}}},
        {"Gauze sponge, non-sterile", "DRS", "Pack", 200, "Each", Northline, "Covidien", 1, 0,
         NewestFirst,
         {{"GAUZE2NS", "2 x 2 in", 5.20}, {"GAUZE4NS", "4 x 4 in", 7.90}}},
        {"Conforming gauze roll", "DRS", "Pack", 12, "Roll", Northline, "Covidien", 1, 0,
         NewestFirst,
         {{"GAUZRL3", "3 in", 8.60}, {"GAUZRL4", "4 in", 10.40}}},
        {"Adhesive bandage", "DRS", "Box", 100, "Each", Northline, "Nexcare", 1, 0, OldestFirst,
         {{"BANDAG", "1 x 3 in", 4.95}, {"BANDSP", "spot 7/8 in", 3.90},
          {"BANDKN", "knuckle", 6.20}, {"BANDFT", "fingertip", 6.20}}},
        {"Transparent film dressing", "DRS", "Box", 50, "Each", Northline, "3M", 1, 1,
         EarliestExpiry,
         {{"FILM67", "6 x 7 cm", 38.00}, {"FILM1012", "10 x 12 cm", 61.00}}},
        {"Bordered foam dressing", "DRS", "Box", 10, "Each", Northline, "Molnlycke", 1, 1,
         EarliestExpiry,
         {{"FOAM75", "7.5 x 7.5 cm", 42.00}, {"FOAM10", "10 x 10 cm", 58.00},
          {"FOAM15", "15 x 15 cm", 96.00}}},
        {"Non-adherent pad", "DRS", "Box", 100, "Each", Northline, "Covidien", 1, 1,
         EarliestExpiry,
         {{"TELFA23", "2 x 3 in", 14.50}, {"TELFA38", "3 x 8 in", 27.00}}},
        {"Elastic bandage", "DRS", "Box", 10, "Roll", Northline, "Medline", 1, 0, OldestFirst,
         {{"ELAS2IN", "2 in x 5 yd", 9.80}, {"ELAS3IN", "3 in x 5 yd", 11.40},
          {"ELAS4IN", "4 in x 5 yd", 13.20}, {"ELAS6IN", "6 in x 5 yd", 17.80}}},
        {"Medical tape,", "DRS", "Box", 12, "Roll", Northline, "3M", 1, 0, NewestFirst,
         {{"TAPEPAP1", "paper 1 in", 9.60}, {"TAPEPAP2", "paper 2 in", 17.40},
          {"TAPESIL1", "silicone 1 in", 38.00}, {"TAPECL1", "cloth 1 in", 14.20}}},
        // Skin preparation
        {"", "PREP", "Box", 200, "Each", Northline, "Medline", 1, 0, OldestFirst,
         {{"ALCPRP", "Alcohol prep pads", 3.60},
          {"APPLIC6", "Cotton-tipped applicator 6 in, sterile", 9.80},
          {"ADHREM", "Adhesive remover wipes", 12.40}}},
        {"Chlorhexidine 2% / alcohol 70%", "PREP", "Box", 25, "Each", Northline, "BD", 1, 1,
         EarliestExpiry,
         {{"CHG1ML", "applicator 1 mL", 38.00}, {"CHG3ML", "applicator 3 mL", 74.00}}},
        {"Povidone-iodine", "PREP", "Box", 50, "Each", Northline, "Medline", 1, 1,
         EarliestExpiry,
         {{"PVPSWB", "swabsticks", 18.20}, {"PVPSOL", "10% solution 240 mL", 6.40, nullptr,
                                            "Bottle"}}},
        {"", "PREP", "Each", 1, "Each", Northline, "3M", 0, 1, EarliestExpiry,
         {{"SKBARW", "Skin barrier film wipe", 0.85}, {"BENZSW", "Benzoin tincture swab", 0.60},
          {"HSAN500", "Hand sanitizer 70% alcohol 500 mL", 7.80, "Purell", "Bottle"},
          {"HSAN1L", "Hand sanitizer refill 1 L", 12.40, "Purell", "Bottle"}}},
        // Wound closure
        {"Nylon suture", "WND", "Box", 12, "Each", Laurentian, "Ethicon", 1, 1, EarliestExpiry,
         {{"SUTN30", "3-0, FS-1 needle", 54.00}, {"SUTN40", "4-0, FS-2 needle", 54.00},
          {"SUTN50", "5-0, P-3 needle", 62.00}, {"SUTN60", "6-0, P-1 needle", 66.00}}},
        {"Absorbable suture, polyglactin", "WND", "Box", 12, "Each", Laurentian, "Ethicon", 1, 1,
         EarliestExpiry,
         {{"SUTV30", "3-0, SH needle", 88.00}, {"SUTV40", "4-0, PS-2 needle", 88.00}}},
        {"Skin closure strips", "WND", "Box", 50, "Pack", Laurentian, "3M", 1, 1, EarliestExpiry,
         {{"STRIP3", "3 x 75 mm", 32.00}, {"STRIP6", "6 x 100 mm", 36.00},
          {"STRIP12", "12 x 100 mm", 42.00}}},
        {"", "WND", "Each", 1, "Each", Laurentian, "Medline", 0, 1, EarliestExpiry,
         {{"STAPLR", "Skin stapler, 35 wide staples", 14.80},
          {"STAPRM", "Staple remover, sterile", 3.20},
          {"SUTRKT", "Suture removal kit", 2.40}, {"LACTRY", "Laceration tray", 8.90},
          {"GLUE05", "Tissue adhesive 0.5 mL", 17.50, "Ethicon"}}},
        // Examination supplies
        {"", "DIAG", "Box", 500, "Each", Laurentian, "Puritan", 1, 0, OldestFirst,
         {{"TONGUE", "Tongue depressor, wood", 8.40},
          {"OTOSP25", "Otoscope specula 2.5 mm", 6.90, "Welch Allyn"},
          {"OTOSP40", "Otoscope specula 4 mm", 6.90, "Welch Allyn"},
          {"THPRBC", "Thermometer probe covers", 9.80, "Welch Allyn"},
          {"LUBJEL", "Lubricating jelly 3 g packets", 11.60, "Medline"},
          {"ECGELF", "ECG electrodes, foam", 8.20, "3M"}}},
        {"Disposable blood pressure cuff,", "DIAG", "Each", 1, "Each", Laurentian, "Welch Allyn", 0,
         0, OldestFirst,
         {{"BPCUFA", "adult", 3.40}, {"BPCUFL", "large adult", 3.80},
          {"BPCUFP", "pediatric", 3.40}}},
        {"Exam table paper 21 in x 225 ft", "DIAG", "Case", 12, "Roll", Northline, "Medline", 1, 0,
         OldestFirst, {{"EXPAPR", "", 48.00}}},
        // Protective equipment
        {"", "PPE", "Box", 50, "Each", Northline, "Halyard", 1, 0, OldestFirst,
         {{"MASKL1", "Procedure mask, level 1", 6.20}, {"MASKL3", "Procedure mask, level 3", 11.80},
          {"N95MED", "N95 respirator, medium", 38.00, "3M"},
          {"N95SML", "N95 respirator, small", 38.00, "3M"},
          {"GOWNL2", "Isolation gown, level 2", 42.00}, {"FSHIELD", "Face shield, full length", 28.00}}},
        // Vaccines: prefilled syringes and vials
        {"", "VAC", "Each", 1, "Each", MaplePharma, "Sanofi", 0, 1, EarliestExpiry,
         {{"VACFLU", "Influenza vaccine, quadrivalent 0.5 mL", 14.25},
          {"VACFLUHD", "Influenza vaccine, high dose 0.7 mL", 58.00},
          {"VACTDAP", "Tdap vaccine 0.5 mL", 38.90, "GSK"},
          {"VACTD05", "Td adsorbed vaccine 0.5 mL", 18.60},
          {"VACHPV", "HPV 9-valent vaccine 0.5 mL", 172.00, "Merck"},
          {"VACPN20", "Pneumococcal 20-valent vaccine 0.5 mL", 128.00, "Pfizer"},
          {"VACZOS", "Herpes zoster vaccine, recombinant", 165.00, "GSK"},
          {"VACMEN", "Meningococcal ACWY vaccine", 96.00},
          {"VACMENB", "Meningococcal B vaccine", 138.00, "GSK"},
          {"VACCOV", "COVID-19 vaccine 0.3 mL", 19.50, "Pfizer"},
          {"VACRSV", "RSV vaccine, adjuvanted 0.5 mL", 230.00, "GSK"}}},
        {"", "VAC", "Vial", 1, "Vial", MaplePharma, "Merck", 0, 1, EarliestExpiry,
         {{"VACHEPB", "Hepatitis B vaccine 1 mL", 29.40},
          {"VACHEPA", "Hepatitis A vaccine 1 mL", 44.80, "GSK"},
          {"VACTWIN", "Hepatitis A and B vaccine 1 mL", 78.00, "GSK"},
          {"VACMMR", "Measles, mumps and rubella vaccine", 24.50},
          {"VACVAR", "Varicella vaccine", 98.00},
          {"VACIPV", "Inactivated polio vaccine 0.5 mL", 22.00, "Sanofi"},
          {"VACTYPH", "Typhoid polysaccharide vaccine 0.5 mL", 42.00, "Sanofi"},
          {"VACRAB", "Rabies vaccine 1 mL", 210.00, "Sanofi"},
          {"TUBPPD", "Tuberculin PPD 5 TU/0.1 mL, 1 mL", 16.80, "Sanofi"}}},
        // Injectables
        {"", "INJ", "Ampoule", 1, "Ampoule", MaplePharma, "Pfizer", 0, 1, EarliestExpiry,
         {{"EPI1MG", "Epinephrine 1 mg/mL 1 mL", 6.80},
          {"ONDA4MG", "Ondansetron 2 mg/mL 2 mL", 1.90, "Sandoz"},
          {"DEXA4MG", "Dexamethasone 4 mg/mL 1 mL", 1.60, "Sandoz"},
          {"DIPH50", "Diphenhydramine 50 mg/mL 1 mL", 2.30},
          {"NALOX04", "Naloxone 0.4 mg/mL 1 mL", 9.80, "Sandoz"},
          {"FURO20", "Furosemide 10 mg/mL 2 mL", 1.40, "Sandoz"},
          {"METOC10", "Metoclopramide 5 mg/mL 2 mL", 1.70, "Sandoz"},
          {"ATROP06", "Atropine 0.6 mg/mL 1 mL", 4.20},
          {"AMIOD150", "Amiodarone 50 mg/mL 3 mL", 5.60, "Sandoz"}}},
        {"", "INJ", "Vial", 1, "Vial", MaplePharma, "Pfizer", 0, 1, EarliestExpiry,
         {{"LIDO1P", "Lidocaine 1% 5 mL", 2.10},
          {"LIDO2P", "Lidocaine 2% 5 mL", 2.40},
          {"LIDOEP", "Lidocaine 1% with epinephrine 20 mL", 6.80},
          {"BUPI25", "Bupivacaine 0.25% 10 mL", 4.60},
          {"KETO30", "Ketorolac 30 mg/mL 1 mL", 2.20, "Sandoz"},
          {"CEFTR1G", "Ceftriaxone 1 g powder for injection", 4.80, "Sandoz"},
          {"MPRED125", "Methylprednisolone 125 mg powder", 9.60},
          {"TRIAM40", "Triamcinolone 40 mg/mL 1 mL", 11.20, "BMS"},
          {"CYANO1", "Cyanocobalamin 1000 mcg/mL 1 mL", 1.10, "Sandoz"},
          {"MEDROX150", "Medroxyprogesterone 150 mg/mL 1 mL", 28.00},
          {"HEPF100", "Heparin 100 units/mL 5 mL", 2.80, "Sandoz"},
          {"INSREG", "Insulin regular 100 units/mL 10 mL", 32.00, "Novo Nordisk"},
          {"WATINJ", "Sterile water for injection 10 mL", 0.90, "Hospira"},
          {"TIG250", "Tetanus immune globulin 250 units", 88.00, "Grifols"}}},
        // Oral medications
        {"", "ORAL", "Bottle", 100, "Tablet", MaplePharma, "Apotex", 1, 1, EarliestExpiry,
         {{"ACET325", "Acetaminophen 325 mg tablets", 4.20},
          {"ACET500", "Acetaminophen 500 mg tablets", 5.10},
          {"IBU200", "Ibuprofen 200 mg tablets", 4.80},
          {"IBU400", "Ibuprofen 400 mg tablets", 6.20},
          {"ASA81CH", "Acetylsalicylic acid 81 mg chewable tablets", 3.60},
          {"PRED5MG", "Prednisone 5 mg tablets", 4.40},
          {"LORAT10", "Loratadine 10 mg tablets", 5.60},
          {"AZIT250", "Azithromycin 250 mg tablets", 22.00, "Sandoz"}}},
        {"", "ORAL", "Bottle", 100, "Capsule", MaplePharma, "Apotex", 1, 1, EarliestExpiry,
         {{"AMOX500", "Amoxicillin 500 mg capsules", 11.80},
          {"CEPH500", "Cephalexin 500 mg capsules", 16.40}}},
        {"", "ORAL", "Each", 1, "Each", MaplePharma, "Apotex", 0, 1, EarliestExpiry,
         {{"ONDODT4", "Ondansetron ODT 4 mg, blister of 10", 8.90, "Sandoz"},
          {"NITRO04", "Nitroglycerin spray 0.4 mg/dose", 18.00, "Pfizer"},
          {"GLUGEL", "Glucose gel 15 g", 2.10, "Dex4"},
          {"ACETLIQ", "Acetaminophen suspension 160 mg/5 mL 100 mL", 6.40, nullptr, "Bottle"},
          {"IBULIQ", "Ibuprofen suspension 100 mg/5 mL 100 mL", 6.90, nullptr, "Bottle"},
          {"SALB100", "Salbutamol inhaler 100 mcg, 200 doses", 7.20, "GSK"}}},
        // Topicals
        {"", "TOPI", "Tube", 1, "Tube", MaplePharma, "Taro", 0, 1, EarliestExpiry,
         {{"MUPIR2", "Mupirocin 2% ointment 15 g", 6.80},
          {"BACIT30", "Bacitracin ointment 30 g", 4.20},
          {"HCORT1", "Hydrocortisone 1% cream 30 g", 3.90},
          {"SILVSU", "Silver sulfadiazine 1% cream 50 g", 9.40},
          {"LIDOJEL", "Lidocaine 2% jelly 30 mL", 7.80, "Pfizer"},
          {"EMLA5G", "Lidocaine and prilocaine cream 5 g", 8.60, "Aspen"},
          {"PETJEL", "Petrolatum jelly 113 g", 3.20, "Vaseline"},
          {"CALAMI", "Calamine lotion 250 mL", 4.60, nullptr, "Bottle"}}},
        // IV solutions
        {"", "IVF", "Bag", 1, "Bag", Rideau, "Baxter", 0, 1, EarliestExpiry,
         {{"NS0100", "Sodium chloride 0.9% 100 mL", 1.90},
          {"NS0250", "Sodium chloride 0.9% 250 mL", 2.10},
          {"NS0500", "Sodium chloride 0.9% 500 mL", 2.40},
          {"NS1000", "Sodium chloride 0.9% 1000 mL", 2.80},
          {"RL1000", "Lactated Ringer's 1000 mL", 3.10},
          {"D5W250", "Dextrose 5% 250 mL", 2.30},
          {"D5W1000", "Dextrose 5% 1000 mL", 3.00},
          {"D5NS1L", "Dextrose 5% / sodium chloride 0.9% 1000 mL", 3.40, "B. Braun"}}},
        // IV sets and catheters
        {"IV catheter, safety", "IVS", "Box", 50, "Each", Rideau, "B. Braun", 1, 1,
         EarliestExpiry,
         {{"IVC18G", "18G x 1 1/4 in", 96.00}, {"IVC20G", "20G x 1 in", 92.00},
          {"IVC22G", "22G x 1 in", 92.00}, {"IVC24G", "24G x 3/4 in", 98.00}}},
        {"IV set,", "IVS", "Case", 50, "Each", Rideau, "Baxter", 1, 1, EarliestExpiry,
         {{"IVSET15", "primary 15 drops/mL", 190.00}, {"IVSET60", "microdrip 60 drops/mL", 205.00},
          {"IVSETSC", "secondary piggyback", 130.00}, {"IVEXT20", "extension 20 cm", 110.00}}},
        {"Saline flush syringe 0.9%", "IVS", "Box", 30, "Each", Rideau, "BD", 1, 1,
         EarliestExpiry,
         {{"FLUSH5", "5 mL", 9.20}, {"FLUSH10", "10 mL", 9.60}}},
        {"", "IVS", "Each", 1, "Each", Rideau, "Medline", 0, 1, EarliestExpiry,
         {{"IVSTKT", "IV start kit", 3.40},
          {"TOURNQ", "Tourniquet, latex-free", 6.80, nullptr, "Pack", 25, "Each"},
          {"NFCONN", "Needle-free connector", 1.40, "ICU Medical"}}},
        {"Butterfly needle set,", "IVS", "Box", 50, "Each", Rideau, "BD", 1, 1, EarliestExpiry,
         {{"BFLY23G", "23G, 12 in tubing", 42.00}, {"BFLY25G", "25G, 12 in tubing", 42.00}}},
        // Specimen collection
        {"Blood collection tube,", "LABC", "Box", 100, "Each", Lakeshore, "BD", 1, 1,
         EarliestExpiry,
         {{"TUBLAV", "lavender EDTA 4 mL", 38.00}, {"TUBSST", "gold SST 5 mL", 42.00},
          {"TUBBLU", "light blue citrate 2.7 mL", 46.00},
          {"TUBGRN", "green lithium heparin 4 mL", 44.00},
          {"TUBGRY", "grey fluoride 4 mL", 40.00}}},
        {"", "LABC", "Box", 100, "Each", Lakeshore, "BD", 1, 0, OldestFirst,
         {{"VACNDL21", "Blood collection needle 21G x 1 in", 24.00},
          {"TUBHLD", "Tube holder, single use", 18.00},
          {"URNCUP", "Urine specimen cup 120 mL, sterile", 32.00, "Starplex"},
          {"SPCBAG", "Specimen bag, biohazard", 9.40, "Starplex"},
          {"LANC21", "Safety lancet 21G", 18.50}}},
        {"", "LABC", "Box", 50, "Each", Lakeshore, "Copan", 1, 1, EarliestExpiry,
         {{"CULSWB", "Culture swab with transport medium", 48.00},
          {"NPSWAB", "Nasopharyngeal flocked swab", 62.00}}},
        // Point-of-care tests
        {"", "LABT", "Kit", 25, "Test", Lakeshore, "Abbott", 1, 1, EarliestExpiry,
         {{"STREPA", "Rapid strep A test", 86.00},
          {"COVAGT", "COVID-19 antigen rapid test", 95.00},
          {"FLUABT", "Influenza A/B rapid test", 245.00},
          {"MONOTST", "Mononucleosis rapid test", 120.00},
          {"HCGURN", "Urine pregnancy test", 32.00, "Sekisui"},
          {"FOBTST", "Fecal occult blood test", 48.00, "Beckman"}}},
        {"", "LABT", "Bottle", 100, "Strip", Lakeshore, "Siemens", 1, 1, EarliestExpiry,
         {{"URSTR10", "Urinalysis strips, 10 parameters", 38.00},
          {"GLUSTR", "Blood glucose test strips", 32.00, "Roche", "Box", 50, "Strip"},
          {"HGBCUV", "Hemoglobin cuvettes", 112.00, "HemoCue", "Box", 50, "Each"}}},
        {"", "LABT", "Each", 1, "Each", Lakeshore, "Roche", 0, 1, EarliestExpiry,
         {{"GLUCTL", "Glucose control solution", 9.50}}},
    };
    return families;
}
// clang-format on

// Products no longer bought: kept for their history, never stocked.
const char* const kDiscontinued[] = {"BANDKN", "TAPECL1", "MASKL3"};

struct ProductDef {
    std::string code;
    std::string upc;
    std::string description;
    int type;
    std::string category;
    std::string unit;
    short itemsPerUnit;
    std::string itemUnit;
    int vendor;
    std::string manufacturer;
    double cost;
    short dividable;
    short trackExpiry;
    short costing;
    short inactive;
};

// The catalogue in the order products are written; item references count per maker.
std::vector<ProductDef> Catalogue() {
    std::vector<ProductDef> products;
    std::map<std::string, int> references;
    for (const Family& f : Families()) {
        const CategoryDef* category = Category(f.category);
        for (const Variant& v : f.variants) {
            ProductDef p;
            p.code = v.code;
            p.description = *f.name ? std::string(f.name) + (*v.text ? " " : "") + v.text : v.text;
            p.type = category ? category->type : -1;
            p.category = f.category;
            p.unit = v.unit ? v.unit : f.unit;
            p.itemsPerUnit = !v.unit ? f.itemsPerUnit : v.items ? v.items : 1;
            p.itemUnit = !v.unit ? f.itemUnit : v.itemUnit ? v.itemUnit : v.unit;
            p.vendor = f.vendor;
            p.manufacturer = v.maker ? v.maker : f.maker;
            p.cost = v.cost;
            p.dividable = f.dividable;
            p.trackExpiry = f.trackExpiry;
            p.costing = f.costing;
            p.inactive = 0;
            for (const char* d : kDiscontinued)
                if (p.code == d)
                    p.inactive = 1;
            const int reference = 1001 + 7 * references[p.manufacturer]++;
            p.upc = Gtin(p.manufacturer.c_str(), reference, IsPackaged(p.unit.c_str()));
            products.push_back(std::move(p));
        }
    }
    return products;
}

// A product row at a real location; "Balance" follows from the stock items.
struct RowDef {
    std::string bin;
    short stocked = 1;
    short trackUsage = 1;
    short canOrderFrom = 0;
    short minCount = 0, reorderCount = 0, maxCount = 0, minToOrder = 0, stdToOrder = 0;
    double lastCount = 0; // only where usage is not tracked
};

// Which lots a movement may take: usable ones, or only those past their expiry date.
enum class Pick { Usable, Expired };

// Builds the demo through the record classes, keeping stock items in memory so that
// product-location balances and order-line fills are sums of what was written.
class DemoBuilder {
public:
    explicit DemoBuilder(WSIDatabase& db)
        : db_(db), today_(db.Today()), products_(tavel::Catalogue()) {
        for (std::size_t i = 0; i < products_.size(); ++i)
            index_[products_[i].code] = static_cast<int>(i);
    }

    bool Build(std::string& problem);

private:
    WSIDate Day(int offset) const { return DateOfDayNumber(DayNumber(today_) + offset); }

    bool Fail(const std::string& why) {
        if (ok_) {
            ok_ = false;
            problem_ = why;
        }
        return false;
    }
    bool Insert(WSITable& record) {
        if (ok_ && !record.InsertDB(__FILE__, __LINE__))
            Fail(std::string("cannot write a demo row into ") + record.Desc()->name);
        return ok_;
    }
    bool Update(WSITable& record) {
        if (ok_ && !record.UpdateDB(__FILE__, __LINE__))
            Fail(std::string("cannot update a demo row of ") + record.Desc()->name);
        return ok_;
    }

    int P(const char* code) {
        auto it = index_.find(code);
        if (it == index_.end()) {
            Fail(std::string("no demo product ") + code);
            return 0;
        }
        return it->second;
    }
    const ProductDef& Def(int pi) const { return products_[pi]; }

    long Sequence(const char* name);
    long Audit(int day, const char* table, long user = 0);

    void Codes();
    void Products();
    void Locations();
    void Row(const char* loc, int pi, const RowDef& row);
    // A row at loc with levels for a usual stock of about `usual` units.
    void StockRow(const char* loc, int pi, const std::string& bin, int usual, short canOrderFrom);

    long Receipt(const char* loc, int vendor, int day, const char* poNumber, int poDay,
                 long user = 0);
    long Order(bool external, const char* loc, const char* from, int vendor, const char* po,
               int day, long approver, long user = 0, const char* type = nullptr);
    long Line(long order, short item, int pi, short quantity, short status);
    long Line(long order, short item, const char* product, short quantity, short status) {
        return Line(order, item, P(product), quantity, status);
    }
    long Receive(long receipt, int pi, short quantity, int expiryDay, long line, double cost = 0);
    long Receive(long receipt, const char* product, short quantity, int expiryDay, long line,
                 double cost = 0) {
        return Receive(receipt, P(product), quantity, expiryDay, line, cost);
    }
    void Move(const char* from, const char* to, int pi, short quantity, int day, long batch,
              long line, long user = 0);
    void Move(const char* from, const char* to, const char* product, short quantity, int day,
              long batch, long line) {
        Move(from, to, P(product), quantity, day, batch, line);
    }
    void Take(const char* loc, int pi, short quantity, short type, int day, const char* adjCode,
              Pick which = Pick::Usable, long user = 0);
    void Take(const char* loc, const char* product, short quantity, short type, int day,
              const char* adjCode) {
        Take(loc, P(product), quantity, type, day, adjCode);
    }
    void SetFilled(long line, short filled);
    void ProductLocations();
    void AverageCosts();

    void OpeningStory();
    void ClinicGroup();

    // Stock items of a product at a location that hold stock, in the order the product's
    // costing method takes them; expiry is judged on the movement's day.
    std::vector<std::size_t> Lots(const char* loc, int pi, int day, Pick which) const;
    double OnHand(const char* loc, int pi, int day) const;

    WSIDatabase& db_;
    WSIDate today_;
    bool ok_ = true;
    std::string problem_;

    std::vector<ProductDef> products_;
    std::map<std::string, int> index_;
    std::vector<long> users_;
    long admin_ = 0;
    long types_[kTypeCount] = {};
    long vendors_[kVendorCount] = {};
    std::vector<long> ids_; // product ids by catalogue index
    std::map<std::pair<std::string, int>, RowDef> rows_;
    std::vector<WSIInvItem::WSIData> items_;
    std::map<long, WSIInvOrdIt::WSIData> lines_;
    std::map<long, WSIInvRec::WSIData> receipts_;
};

long DemoBuilder::Sequence(const char* name) {
    double value = 0;
    auto cursor = db_.Query(__FILE__, __LINE__, "SELECT %s.nextval FROM DUAL", &value, name);
    if (!cursor->GetFirst() || value < 1)
        Fail(std::string("cannot draw a number from sequence ") + name);
    return static_cast<long>(value);
}

long DemoBuilder::Audit(int day, const char* table, long user) {
    WSIAuditHis a(&db_);
    a.data.User = user ? user : admin_;
    a.data.Date = Day(day);
    a.data.Operation = 1;
    Put(a.data.TableName, table);
    Insert(a);
    return a.data.Audit;
}

void DemoBuilder::Codes() {
    for (const DemoUser& u : kDemoUsers) {
        WSIUsers user(&db_);
        Put(user.data.Login, u.login);
        Put(user.data.Name, u.name);
        Put(user.data.First, u.first);
        Insert(user);
        users_.push_back(user.data.User);
    }
    admin_ = users_.front();

    WSITavelOpt options(&db_);
    options.data.TavelOpt = 1;
    options.data.MinProductLength = 6;
    Put(options.data.PracticeName, "Riverside Family Health Clinic");
    Put(options.data.Address1, "240 King Street West");
    Put(options.data.Address2, "Suite 300");
    Put(options.data.City, "Kitchener");
    Put(options.data.Province, "ON");
    Put(options.data.PostalCode, "N2G 1B6");
    Put(options.data.Phone, "(519) 555-0142");
    Insert(options);

    const char* const provinces[][2] = {{"ON", "Ontario"}, {"QC", "Quebec"}};
    for (const auto& p : provinces) {
        WSIProvince province(&db_);
        Put(province.data.Province, p[0]);
        Put(province.data.Description, p[1]);
        Insert(province);
    }
    std::set<std::string> cities;
    for (int i = 0; i < kVendorCount; ++i) {
        const VendorDef& v = kVendors[i];
        if (cities.insert(v.city).second) {
            WSICity city(&db_);
            Put(city.data.City, v.city);
            Put(city.data.Province, v.province);
            Put(city.data.PostalCode, v.postal);
            Put(city.data.Area, v.area);
            Insert(city);
        }
        WSIVendor vendor(&db_);
        Put(vendor.data.Name, v.name);
        Put(vendor.data.Address1, v.address);
        Put(vendor.data.City, v.city);
        Put(vendor.data.Province, v.province);
        Put(vendor.data.PostalCode, v.postal);
        Put(vendor.data.Area, v.area);
        Put(vendor.data.Phone, v.phone);
        Put(vendor.data.Fax, v.fax);
        Insert(vendor);
        vendors_[i] = vendor.data.Vendor;
    }

    for (const UnitDef& u : kUnits) {
        WSIPrdUnit unit(&db_);
        Put(unit.data.Description, u.description);
        unit.data.IsDividable = u.dividable;
        Insert(unit);
    }
    for (int i = 0; i < kTypeCount; ++i) {
        WSIPrdType type(&db_);
        Put(type.data.Description, kTypes[i]);
        Insert(type);
        types_[i] = type.data.PrdType;
    }
    for (const CategoryDef& c : kCategories) {
        WSIPrdCat cat(&db_);
        cat.data.PrdType = types_[c.type];
        Put(cat.data.PrdCat, c.code);
        Put(cat.data.Description, c.description);
        Insert(cat);
    }

    struct OTypeDef {
        const char* code;
        const char* description;
        short external;
    };
    const OTypeDef orderTypes[] = {{"INT", "Internal request", 0},
                                   {"PO", "Purchase order", 1},
                                   {"STAT", "Urgent internal request", 0},
                                   {"VAX", "Publicly funded vaccines", 1}};
    for (const OTypeDef& o : orderTypes) {
        WSIInvOType t(&db_);
        Put(t.data.InvOType, o.code);
        Put(t.data.Description, o.description);
        t.data.IsExternal = o.external;
        Insert(t);
    }
    struct AdjDef {
        const char* code;
        const char* description;
        short type;
    };
    const AdjDef adjustments[] = {{"DAM", "Damaged", AdjustmentType::Decrease},
                                  {"EXP", "Expired", AdjustmentType::Decrease},
                                  {"WST", "Opened and wasted", AdjustmentType::Decrease},
                                  {"RTV", "Returned to vendor", AdjustmentType::Decrease},
                                  {"FND", "Found stock", AdjustmentType::Increase},
                                  {"CNT", "Physical count", AdjustmentType::Count}};
    for (const AdjDef& a : adjustments) {
        WSIInvAdj adj(&db_);
        Put(adj.data.InvAdj, a.code);
        Put(adj.data.Description, a.description);
        adj.data.Type = a.type;
        Insert(adj);
    }
}

void DemoBuilder::Products() {
    std::set<std::string> codes;
    for (const ProductDef& d : products_) {
        if (d.type < 0 || d.description.size() > ColWidth::ProductDesc ||
            d.code.size() > ColWidth::ProductCode || d.code.size() < 6 ||
            !codes.insert(d.code).second) {
            Fail("demo product " + d.code + " is not well defined");
            return;
        }
        WSIProduct p(&db_);
        Put(p.data.ProductCode, d.code.c_str());
        Put(p.data.UPCCode, d.upc.c_str());
        Put(p.data.Description, d.description.c_str());
        p.data.PrdType = types_[d.type];
        Put(p.data.PrdCat, d.category.c_str());
        Put(p.data.Unit, d.unit.c_str());
        p.data.Vendor = vendors_[d.vendor];
        Put(p.data.Manufacturer, d.manufacturer.c_str());
        Put(p.data.InvOType, d.category == "VAC" && d.cost < 20 ? "VAX" : "PO");
        p.data.CostPerUnit = d.cost;
        p.data.CanOrder = d.inactive ? 0 : 1;
        p.data.IsDividable = d.dividable;
        p.data.TrackExpiryDate = d.trackExpiry;
        p.data.Inactive = d.inactive;
        p.data.ItemsPerUnit = d.itemsPerUnit;
        Put(p.data.ItemUnit, d.itemUnit.c_str());
        p.data.CostingMethod = d.costing;
        p.data.LeadTime = d.vendor == Laurentian ? 2 : 5;
        p.data.LeadTimeUnit = d.vendor == Laurentian ? 1 : 0;
        Insert(p);
        ids_.push_back(p.data.Product);

        // Every product has its default row under the empty location code.
        WSIPrdLoc defaults(&db_);
        defaults.data.Product = p.data.Product;
        defaults.data.Stocked = 1;
        defaults.data.TrackUsage = 1;
        defaults.data.CanOrderFrom = 1;
        Insert(defaults);
    }

    // Immunizations are billed; each is linked to its vaccine.
    const char* const sundries[][3] = {{"IMMFLU", "Influenza immunization", "VACFLU"},
                                       {"IMMFLUHD", "Influenza immunization, 65+", "VACFLUHD"},
                                       {"IMMTDAP", "Tdap immunization", "VACTDAP"},
                                       {"IMMHEPB", "Hepatitis B immunization", "VACHEPB"},
                                       {"IMMHEPA", "Hepatitis A immunization", "VACHEPA"},
                                       {"IMMHPV", "HPV immunization", "VACHPV"},
                                       {"IMMPN20", "Pneumococcal immunization", "VACPN20"},
                                       {"IMMZOS", "Shingles immunization", "VACZOS"},
                                       {"TBSKIN", "Tuberculin skin test", "TUBPPD"}};
    for (const auto& s : sundries) {
        WSISundry sundry(&db_);
        Put(sundry.data.Sundry, s[0]);
        Put(sundry.data.Description, s[1]);
        Insert(sundry);
        WSIInvProdMap map(&db_);
        map.data.Product = ids_[P(s[2])];
        Put(map.data.Sundry, s[0]);
        Insert(map);
    }
}

void DemoBuilder::Locations() {
    struct LocDef {
        const char* code;
        const char* name;
        short type;
        const char* barCode;
    };
    const LocDef locations[] = {
        {"STORE", "Central store room", LocationType::StoreRoom, "LOC-STORE"},
        {"TRT1", "Treatment room 1", LocationType::SupplyRoom, ""},
        {"TRT2", "Treatment room 2", LocationType::SupplyRoom, ""},
        {"CART1", "Crash cart", LocationType::UsePoint, "LOC-CART1"},
        {"NORTH", "North clinic", LocationType::SupplyRoom, "LOC-NORTH"},
        {"EAST", "Eastside clinic", LocationType::SupplyRoom, "LOC-EAST"},
        {"DISP", "Dispensary", LocationType::NoStock, ""},
    };
    for (const LocDef& l : locations) {
        WSIInvLoc loc(&db_);
        Put(loc.data.InvLoc, l.code);
        Put(loc.data.Name, l.name);
        loc.data.Type = l.type;
        Put(loc.data.BarCode, l.barCode);
        Insert(loc);
    }
}

void DemoBuilder::Row(const char* loc, int pi, const RowDef& row) {
    rows_[{loc, pi}] = row;
}

void DemoBuilder::StockRow(const char* loc, int pi, const std::string& bin, int usual,
                           short canOrderFrom) {
    RowDef r;
    r.bin = bin;
    r.canOrderFrom = canOrderFrom;
    r.reorderCount = static_cast<short>(std::max(1, usual / 3));
    r.minCount = static_cast<short>(std::max(1, usual / 6));
    r.maxCount = static_cast<short>(usual * 2);
    r.minToOrder = 1;
    r.stdToOrder = static_cast<short>(std::max(1, usual));
    Row(loc, pi, r);
}

long DemoBuilder::Receipt(const char* loc, int vendor, int day, const char* poNumber, int poDay,
                          long user) {
    WSIInvRec r(&db_);
    Put(r.data.InvLoc, loc);
    r.data.Vendor = vendors_[vendor];
    Put(r.data.PONumber, poNumber);
    r.data.Date = Day(day);
    if (*poNumber)
        r.data.PODate = Day(poDay);
    r.data.Audit = Audit(day, "INVREC", user);
    Insert(r);
    receipts_[r.data.InvRec] = r.data;
    return r.data.InvRec;
}

long DemoBuilder::Order(bool external, const char* loc, const char* from, int vendor,
                        const char* po, int day, long approver, long user, const char* type) {
    WSIInvOrder o(&db_);
    o.data.IsExternal = external ? 1 : 0;
    Put(o.data.InvLoc, loc);
    Put(o.data.InvLocFrom, from);
    o.data.Vendor = external ? vendors_[vendor] : 0;
    Put(o.data.PONumber, po);
    Put(o.data.InvOType, type ? type : external ? "PO" : "INT");
    o.data.Date = Day(day);
    o.data.ApprovalUser = approver;
    o.data.Audit = Audit(day, "INVORDER", user);
    Insert(o);
    return o.data.InvOrder;
}

long DemoBuilder::Line(long order, short item, int pi, short quantity, short status) {
    const ProductDef& d = Def(pi);
    WSIInvOrder o(&db_);
    o.data.InvOrder = order;
    if (ok_ && !o.GetEqual(__FILE__, __LINE__))
        Fail("cannot read a demo order");
    WSIInvOrdIt l(&db_);
    l.data.InvOrder = order;
    l.data.Item = item;
    l.data.Product = ids_[pi];
    l.data.Quantity = quantity;
    Put(l.data.Unit, d.unit.c_str());
    l.data.CostPerUnit = d.cost;
    l.data.Status = status;
    l.data.WasBackOrdered = status == OrdItStatus::BackOrdered ? 1 : 0;
    l.data.StockedAtLoc = rows_.count({o.data.InvLoc, pi}) ? rows_[{o.data.InvLoc, pi}].stocked : 0;
    l.data.StockedAtFrom = o.data.IsExternal ? 0
                           : rows_.count({o.data.InvLocFrom, pi})
                               ? rows_[{o.data.InvLocFrom, pi}].stocked
                               : 0;
    Insert(l);
    lines_[l.data.InvOrdIt] = l.data;
    return l.data.InvOrdIt;
}

// A receipt line: a stock item of type 0 and its receipt detail. Its cost is the given
// one, else the order line's, else the product's; against an order line the fill grows.
long DemoBuilder::Receive(long receipt, int pi, short quantity, int expiryDay, long line,
                          double cost) {
    const ProductDef& d = Def(pi);
    const WSIInvRec::WSIData& r = receipts_[receipt];
    WSIInvItem item(&db_);
    Put(item.data.InvLoc, r.InvLoc);
    item.data.Product = ids_[pi];
    item.data.Type = MovementType::Receipt;
    item.data.InvRec = receipt;
    item.data.InvOrdIt = line;
    item.data.Quantity = quantity;
    item.data.Balance = quantity;
    item.data.CostPerUnit = cost > 0 ? cost : line ? lines_[line].CostPerUnit : d.cost;
    if (d.trackExpiry)
        item.data.ExpiryDate = Day(expiryDay);
    Put(item.data.Unit, d.unit.c_str());
    item.data.ItemsPerUnit = d.itemsPerUnit;
    Put(item.data.ItemUnit, d.itemUnit.c_str());
    item.data.Audit = r.Audit;
    Insert(item);
    items_.push_back(item.data);

    WSIInvItDet det(&db_);
    det.data.InvItem = item.data.InvItem;
    det.data.Type = MovementType::Receipt;
    Put(det.data.InvLoc, r.InvLoc);
    det.data.Product = item.data.Product;
    det.data.Quantity = quantity;
    Put(det.data.Unit, d.unit.c_str());
    det.data.ItemsPerUnit = d.itemsPerUnit;
    det.data.CostPerUnit = item.data.CostPerUnit;
    det.data.Audit = r.Audit;
    Insert(det);

    if (line)
        SetFilled(line, static_cast<short>(lines_[line].QtyFilled + quantity));
    return item.data.InvItem;
}

void DemoBuilder::SetFilled(long line, short filled) {
    WSIInvOrdIt l(&db_);
    l.data = lines_[line];
    l.data.QtyFilled = filled;
    Update(l);
    lines_[line] = l.data;
}

std::vector<std::size_t> DemoBuilder::Lots(const char* loc, int pi, int day, Pick which) const {
    const long moment = DayNumber(today_) + day;
    auto expired = [&](const WSIInvItem::WSIData& item) {
        return !item.ExpiryDate.IsNull() && DayNumber(item.ExpiryDate) < moment;
    };
    std::vector<std::size_t> lots;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].Product == ids_[pi] && std::strcmp(items_[i].InvLoc, loc) == 0 &&
            items_[i].Balance > 0 && expired(items_[i]) == (which == Pick::Expired))
            lots.push_back(i);
    if (Def(pi).costing == NewestFirst)
        std::reverse(lots.begin(), lots.end());
    if (Def(pi).costing == EarliestExpiry)
        std::stable_sort(lots.begin(), lots.end(), [this](std::size_t a, std::size_t b) {
            return DayNumber(items_[a].ExpiryDate) < DayNumber(items_[b].ExpiryDate);
        });
    return lots;
}

double DemoBuilder::OnHand(const char* loc, int pi, int day) const {
    double total = 0;
    for (std::size_t i : Lots(loc, pi, day, Pick::Usable))
        total += items_[i].Balance;
    return total;
}

// Takes quantity out of a location's lots in the product's order, writing a detail per
// lot touched; each part becomes a lot at the destination.
void DemoBuilder::Move(const char* from, const char* to, int pi, short quantity, int day,
                       long batch, long line, long user) {
    if (!ok_)
        return;
    if (!rows_.count({to, pi}))
        Fail("demo stock of " + Def(pi).code + " moved to " + to + " without a product location");
    const long audit = Audit(day, "INVITEM", user);
    short left = quantity;
    for (std::size_t i : Lots(from, pi, day, Pick::Usable)) {
        if (left == 0 || !ok_)
            break;
        WSIInvItem source(&db_);
        source.data = items_[i];
        const short part = static_cast<short>(
            source.data.Balance < left ? static_cast<short>(source.data.Balance) : left);
        source.data.Balance -= part;
        left = static_cast<short>(left - part);
        Update(source);
        items_[i] = source.data;

        WSIInvItDet out(&db_);
        out.data.InvItem = source.data.InvItem;
        out.data.Type = MovementType::Transfer;
        Put(out.data.InvLoc, from);
        out.data.Product = source.data.Product;
        out.data.BatchId = batch;
        out.data.Quantity = -part;
        Put(out.data.Unit, source.data.Unit);
        out.data.ItemsPerUnit = source.data.ItemsPerUnit;
        out.data.CostPerUnit = source.data.CostPerUnit;
        Put(out.data.OtherLoc, to);
        out.data.Audit = audit;
        Insert(out);

        WSIInvItem moved(&db_);
        moved.data = source.data;
        moved.data.InvItem = 0;
        Put(moved.data.InvLoc, to);
        Put(moved.data.InvLocFrom, from);
        moved.data.Type = MovementType::Transfer;
        moved.data.InvRec = 0;
        moved.data.InvOrdIt = line;
        moved.data.Quantity = part;
        moved.data.Balance = part;
        Put(moved.data.RefNo, "");
        moved.data.Audit = audit;
        Insert(moved);
        items_.push_back(moved.data);

        WSIInvItDet in(&db_);
        in.data = out.data;
        in.data.InvItDet = 0;
        in.data.InvItem = moved.data.InvItem;
        Put(in.data.InvLoc, to);
        in.data.Quantity = part;
        Put(in.data.OtherLoc, "");
        Insert(in);

        if (line)
            SetFilled(line, static_cast<short>(lines_[line].QtyFilled + part));
    }
    if (left != 0)
        Fail("not enough demo stock of " + Def(pi).code + " at " + from);
}

// Usage or a decreasing adjustment: the stock leaves the location.
void DemoBuilder::Take(const char* loc, int pi, short quantity, short type, int day,
                       const char* adjCode, Pick which, long user) {
    if (!ok_)
        return;
    const long audit = Audit(day, "INVITDET", user);
    short left = quantity;
    for (std::size_t i : Lots(loc, pi, day, which)) {
        if (left == 0 || !ok_)
            break;
        WSIInvItem item(&db_);
        item.data = items_[i];
        const short part = static_cast<short>(
            item.data.Balance < left ? static_cast<short>(item.data.Balance) : left);
        item.data.Balance -= part;
        left = static_cast<short>(left - part);
        Update(item);
        items_[i] = item.data;

        WSIInvItDet det(&db_);
        det.data.InvItem = item.data.InvItem;
        det.data.Type = type;
        Put(det.data.InvLoc, loc);
        det.data.Product = item.data.Product;
        Put(det.data.InvAdj, adjCode);
        det.data.Quantity = -part;
        Put(det.data.Unit, item.data.Unit);
        det.data.ItemsPerUnit = item.data.ItemsPerUnit;
        det.data.CostPerUnit = item.data.CostPerUnit;
        det.data.Audit = audit;
        Insert(det);
    }
    if (left != 0)
        Fail("not enough demo stock of " + Def(pi).code + " at " + loc);
}

void DemoBuilder::ProductLocations() {
    std::map<std::pair<std::string, long>, double> balances;
    for (const WSIInvItem::WSIData& item : items_)
        balances[{item.InvLoc, item.Product}] += item.Balance;

    for (const auto& [key, r] : rows_) {
        WSIPrdLoc pl(&db_);
        pl.data.Product = ids_[key.second];
        Put(pl.data.InvLoc, key.first.c_str());
        Put(pl.data.Bin, r.bin.c_str());
        pl.data.Stocked = r.stocked;
        pl.data.TrackUsage = r.trackUsage;
        pl.data.CanOrderFrom = r.canOrderFrom;
        auto it = balances.find({key.first, pl.data.Product});
        if (it != balances.end()) {
            pl.data.Balance = it->second;
            balances.erase(it);
        }
        if (r.lastCount > 0) {
            pl.data.LastCount = r.lastCount;
            pl.data.LastCountDate = Day(-7);
        }
        pl.data.MinCount = r.minCount;
        pl.data.ReorderCount = r.reorderCount;
        pl.data.MaxCount = r.maxCount;
        pl.data.MinToOrder = r.minToOrder;
        pl.data.StdToOrder = r.stdToOrder;
        Insert(pl);
    }
    if (!balances.empty())
        Fail("demo stock at " + balances.begin()->first.first + " has no product location");
}

// The product's average cost is the value of its stock over its quantity.
void DemoBuilder::AverageCosts() {
    for (std::size_t i = 0; i < products_.size() && ok_; ++i) {
        double quantity = 0, value = 0;
        for (const WSIInvItem::WSIData& item : items_)
            if (item.Product == ids_[i]) {
                quantity += item.Balance;
                value += item.Balance * item.CostPerUnit;
            }
        if (quantity <= 0)
            continue;
        WSIProduct p(&db_);
        p.data.Product = ids_[i];
        if (!p.GetEqual(__FILE__, __LINE__)) {
            Fail("cannot read demo product " + products_[i].code);
            return;
        }
        p.data.AverageCost = RoundCents(value / quantity);
        Update(p);
    }
}

// The products of the store room's first weeks below: their stock comes only from
// that story, so its balances stay easy to follow.
const char* const kStoryProducts[] = {"SYR3ML",   "SYR1TB",  "NDL25G", "NDL23G", "GLVNTM", "GLVNTL",
                                      "GLVSTR75", "GAUZE4",  "BANDAG", "FILM67", "ALCPRP", "VACFLU",
                                      "VACTDAP",  "VACHEPB", "LIDO1P", "EPI1MG"};

// The store room, the treatment rooms and the crash cart over the last two months:
// opening stock, a vaccine delivery, a purchase order received in part, stocking the
// cart and a room, a request on the pick list, and some usage.
void DemoBuilder::OpeningStory() {
    using namespace OrdItStatus;
    struct StoryRow {
        const char* loc;
        const char* product;
        RowDef row;
    };
    const StoryRow rows[] = {
        {"STORE", "SYR3ML", {"A-01", 1, 1, 1, 2, 5, 30, 1, 10, 0}},
        {"STORE", "SYR1TB", {"A-02", 1, 1, 1, 2, 4, 20, 1, 6, 0}},
        {"STORE", "NDL25G", {"A-03", 1, 1, 1, 2, 4, 20, 1, 8, 0}},
        {"STORE", "NDL23G", {"A-04", 1, 1, 1, 2, 4, 20, 1, 6, 0}},
        {"STORE", "GLVNTM", {"B-01", 1, 1, 1, 5, 10, 40, 2, 20, 0}},
        {"STORE", "GLVNTL", {"B-02", 1, 1, 1, 5, 10, 40, 2, 20, 0}},
        {"STORE", "GLVSTR75", {"B-03", 1, 1, 1, 1, 2, 10, 1, 4, 0}},
        {"STORE", "GAUZE4", {"C-01", 1, 1, 1, 4, 8, 40, 2, 15, 0}},
        {"STORE", "BANDAG", {"C-02", 1, 1, 1, 2, 4, 20, 1, 8, 0}},
        {"STORE", "FILM67", {"C-03", 1, 1, 1, 1, 2, 8, 1, 3, 0}},
        {"STORE", "ALCPRP", {"C-04", 1, 1, 1, 2, 5, 20, 1, 10, 0}},
        {"STORE", "VACFLU", {"FRIDGE-1", 1, 1, 1, 10, 20, 100, 10, 30, 0}},
        {"STORE", "VACTDAP", {"FRIDGE-1", 1, 1, 1, 2, 4, 20, 1, 10, 0}},
        {"STORE", "VACHEPB", {"FRIDGE-2", 1, 1, 1, 2, 4, 20, 1, 10, 0}},
        {"STORE", "LIDO1P", {"D-01", 1, 1, 1, 5, 10, 50, 5, 25, 0}},
        {"STORE", "EPI1MG", {"D-02", 1, 1, 1, 4, 6, 20, 2, 10, 0}},
        {"TRT1", "SYR3ML", {"T1-A", 1, 1, 0, 1, 2, 6, 1, 2, 0}},
        {"TRT1", "NDL25G", {"T1-A", 1, 1, 0, 1, 2, 6, 1, 2, 0}},
        {"TRT1", "GLVNTM", {"T1-B", 1, 1, 0, 2, 4, 10, 1, 4, 0}},
        {"TRT1", "BANDAG", {"T1-C", 1, 1, 0, 1, 2, 6, 1, 3, 0}},
        {"TRT1", "ALCPRP", {"T1-C", 1, 1, 0, 1, 2, 6, 1, 2, 0}},
        {"TRT1", "FILM67", {"T1-C", 1, 1, 0, 0, 1, 4, 1, 1, 0}},
        {"TRT1", "VACFLU", {"T1-FRIDGE", 1, 1, 0, 5, 10, 30, 5, 10, 0}},
        {"TRT2", "SYR1TB", {"T2-A", 1, 1, 0, 1, 2, 6, 1, 2, 0}},
        {"CART1", "SYR3ML", {"DRAWER-1", 1, 1, 0, 1, 1, 2, 1, 1, 0}},
        {"CART1", "EPI1MG", {"DRAWER-1", 1, 1, 0, 4, 4, 6, 2, 4, 0}},
        {"CART1", "LIDO1P", {"DRAWER-2", 1, 1, 0, 4, 5, 8, 2, 5, 0}},
        // Gloves on the cart are counted, not tracked: their stock is the last count.
        {"CART1", "GLVNTM", {"DRAWER-3", 1, 0, 0, 1, 2, 4, 1, 2, 2}},
    };
    for (const StoryRow& r : rows)
        Row(r.loc, P(r.product), r.row);

    // Opening stock, received two months ago without an order.
    const long opening = Receipt("STORE", Northline, -60, "", 0);
    const struct {
        const char* product;
        short quantity;
        int expiry;
        double cost;
    } openingStock[] = {
        {"SYR3ML", 4, 0, 17.90},  {"SYR1TB", 6, 0, 16.75},   {"NDL23G", 5, 0, 9.60},
        {"GLVNTL", 10, 0, 10.80}, {"GLVNTM", 5, 0, 10.90},   {"GLVSTR75", 3, 300, 41.50},
        {"BANDAG", 8, 0, 4.95},   {"FILM67", 2, 200, 37.20}, {"ALCPRP", 6, 0, 3.45},
    };
    for (const auto& s : openingStock)
        Receive(opening, s.product, s.quantity, s.expiry, 0, s.cost);

    // Vaccines and injectables, two lots of flu vaccine, one close to expiry.
    const long pharma = Receipt("STORE", MaplePharma, -40, "MPD-1188", -45);
    Receive(pharma, "VACFLU", 40, 150, 0);
    Receive(pharma, "VACFLU", 20, 20, 0, 13.80);
    Receive(pharma, "VACTDAP", 10, 500, 0);
    Receive(pharma, "VACHEPB", 10, 365, 0);
    Receive(pharma, "LIDO1P", 25, 240, 0);
    Receive(pharma, "EPI1MG", 10, 90, 0);

    // A purchase order received in part: filled, partly filled, back-ordered, purchased.
    const long po = Order(true, "STORE", "", Northline, "NMS-24017", -20, admin_);
    const long syr = Line(po, 1, "SYR3ML", 10, Filled);
    const long glv = Line(po, 2, "GLVNTM", 20, PartiallyFilled);
    const long gauze = Line(po, 3, "GAUZE4", 15, BackOrdered);
    Line(po, 4, "ALCPRP", 10, Purchased);
    const long ndl = Line(po, 5, "NDL25G", 8, Filled);
    const long receipt = Receipt("STORE", Northline, -12, "NMS-24017", -20);
    Receive(receipt, "SYR3ML", 10, 0, syr);
    Receive(receipt, "GLVNTM", 12, 0, glv);
    Receive(receipt, "GAUZE4", 5, 400, gauze);
    Receive(receipt, "NDL25G", 8, 0, ndl);

    // A new purchase order for vaccines, not yet approved.
    const long vaccines = Order(true, "STORE", "", MaplePharma, "MPD-1203", -2, 0);
    Line(vaccines, 1, "VACFLU", 30, Ordered);
    Line(vaccines, 2, "VACHEPB", 10, Ordered);

    // Stocking the crash cart and the first treatment room.
    const long cartBatch = Sequence(kBatchIdSequence);
    Move("STORE", "CART1", "EPI1MG", 4, -30, cartBatch, 0);
    Move("STORE", "CART1", "LIDO1P", 5, -30, cartBatch, 0);
    Move("STORE", "CART1", "SYR3ML", 1, -30, cartBatch, 0);
    const long roomBatch = Sequence(kBatchIdSequence);
    Move("STORE", "TRT1", "VACFLU", 10, -8, roomBatch, 0);
    Move("STORE", "TRT1", "SYR3ML", 2, -8, roomBatch, 0);
    Take("STORE", "BANDAG", 1, MovementType::Adjustment, -10, "DAM");

    // Treatment room 1 asks the store room for supplies; one line is already filled
    // from the pick list, one waits on it.
    const long request = Order(false, "TRT1", "STORE", 0, "", -5, admin_);
    const long gloves = Line(request, 1, "GLVNTM", 4, Filled);
    const long needles = Line(request, 2, "NDL25G", 2, OnPickList);
    Line(request, 3, "BANDAG", 3, Requested);
    Line(request, 4, "ALCPRP", 2, InReview);
    Line(request, 5, "FILM67", 1, Cancelled);
    const long pickList = Sequence(kPickListSequence);
    for (long id : {gloves, needles}) {
        WSIInvOrdIt l(&db_);
        l.data = lines_[id];
        l.data.PickList = pickList;
        l.data.PickUser = admin_;
        l.data.PickDate = Day(-4);
        Update(l);
        lines_[id] = l.data;
    }
    Move("STORE", "TRT1", "GLVNTM", 4, -4, Sequence(kBatchIdSequence), gloves);

    // An older request of the second treatment room, closed without delivery.
    const long closed = Order(false, "TRT2", "STORE", 0, "", -30, admin_);
    Line(closed, 1, "SYR1TB", 1, Closed);

    // Usage in the treatment room.
    Take("TRT1", "VACFLU", 3, MovementType::Usage, -3, "");
    Take("TRT1", "GLVNTM", 1, MovementType::Usage, -1, "");
}

// A fixed spread of small numbers, the same on every run.
int Spread(int i, int modulo) {
    return (i * 37 + 11) % 97 % modulo;
}

// Expiry dates (days from today) of first and of later lots: most far off, some within
// the month, a few already past.
const int kFirstExpiry[] = {420, 260, 180, 540, 330, 24,  610, 150, 480, 365,
                            -12, 200, 75,  290, 9,   700, 390, 120, 560, 240};
const int kLaterExpiry[] = {700, 540, 365, 450, 610, 820};

// The rest of the group's stock: every product at the store room, the two satellite
// clinics stocked by filled requests and using from them, more for the cart and the
// second treatment room, write-offs, and orders open in every status.
void DemoBuilder::ClinicGroup() {
    using namespace OrdItStatus;
    const long manager = users_[1], pharmacist = users_[2], nurse = users_[3], clerk = users_[4];

    std::set<int> story;
    for (const char* code : kStoryProducts)
        story.insert(P(code));
    auto single = [this](int pi) { return Def(pi).itemsPerUnit == 1; };
    auto usual = [&](int pi) { return single(pi) ? 10 + Spread(pi, 21) : 3 + Spread(pi, 8); };
    int firstLots = 0, laterLots = 0;
    auto firstExpiry = [&]() {
        return kFirstExpiry[firstLots++ % static_cast<int>(std::size(kFirstExpiry))];
    };
    auto laterExpiry = [&]() {
        return kLaterExpiry[laterLots++ % static_cast<int>(std::size(kLaterExpiry))];
    };

    // Store room rows and opening stock, one receipt per vendor.
    std::vector<int> stocked;
    std::map<std::string, int> bins;
    for (int pi = 0; pi < static_cast<int>(products_.size()); ++pi) {
        const ProductDef& d = Def(pi);
        if (d.inactive || story.count(pi)) {
            continue;
        }
        const CategoryDef* c = Category(d.category.c_str());
        const int n = ++bins[c->code];
        const std::string bin = d.category == "VAC" ? "FRIDGE-" + std::to_string(3 + n / 8)
                                                    : c->aisle + ("-" + Digits(10 + n, 2));
        StockRow("STORE", pi, bin, usual(pi), 1);
        stocked.push_back(pi);
    }
    for (int v = 0; v < kVendorCount; ++v) {
        const long receipt = Receipt("STORE", v, -95, "", 0, clerk);
        for (int pi : stocked)
            if (Def(pi).vendor == v)
                Receive(receipt, pi, static_cast<short>(usual(pi) + Spread(pi, 5)),
                        Def(pi).trackExpiry ? firstExpiry() : 0, 0,
                        RoundCents(Def(pi).cost * (0.94 + 0.01 * Spread(pi, 5))));
    }

    // Purchase orders of six weeks ago, received in full a week later.
    const struct {
        int vendor;
        const char* po;
    } restocks[] = {{Northline, "NMS-23902"}, {MaplePharma, "MPD-1164"}, {Rideau, "RIS-4388"}};
    for (const auto& r : restocks) {
        const long order = Order(true, "STORE", "", r.vendor, r.po, -40, manager, clerk);
        const long receipt = Receipt("STORE", r.vendor, -33, r.po, -40, clerk);
        short item = 0;
        for (int pi : stocked) {
            if (Def(pi).vendor != r.vendor || Spread(pi, 4) != 1 || item >= 12)
                continue;
            const short quantity =
                static_cast<short>(single(pi) ? 10 + Spread(pi, 10) : 2 + Spread(pi, 6));
            const long line = Line(order, ++item, pi, quantity, Filled);
            Receive(receipt, pi, quantity, Def(pi).trackExpiry ? laterExpiry() : 0, line);
        }
    }

    // The satellite clinics carry a kit of the everyday products, stocked from the
    // store room by requests filled four weeks ago; two lines could not be filled in full.
    const std::set<std::string> kit = {"SYR", "GLV", "DRS",  "PREP", "WND",  "DIAG", "PPE",
                                       "VAC", "INJ", "TOPI", "IVS",  "LABC", "LABT"};
    const struct {
        const char* loc;
        int share;
        char binPrefix;
    } clinics[] = {{"NORTH", 0, 'N'}, {"EAST", 1, 'E'}};
    std::map<std::string, std::vector<int>> carried;
    for (const auto& c : clinics) {
        const long order = Order(false, c.loc, "STORE", 0, "", -31, manager, clerk);
        const long batch = Sequence(kBatchIdSequence);
        std::vector<int> candidates;
        for (int pi : stocked)
            if (kit.count(Def(pi).category) && pi % 3 == c.share && OnHand("STORE", pi, -28) >= 3)
                candidates.push_back(pi);
        // Thirty of them, spread over the whole catalogue.
        std::vector<int>& products = carried[c.loc];
        const std::size_t kitSize = std::min<std::size_t>(30, candidates.size());
        for (std::size_t i = 0; i < kitSize; ++i)
            products.push_back(candidates[i * candidates.size() / kitSize]);
        short item = 0;
        for (int pi : products) {
            const short quantity = static_cast<short>(
                std::clamp(static_cast<int>(OnHand("STORE", pi, -28)) / 3, 1, 6));
            const std::string bin = c.binPrefix + ("-" + Digits(1 + item / 4, 2));
            StockRow(c.loc, pi, bin, quantity * 2, 0);
            ++item;
            const bool last = item == static_cast<short>(products.size());
            const bool nextToLast = item + 1 == static_cast<short>(products.size());
            const short ordered = static_cast<short>(quantity + (last ? 3 : nextToLast ? 2 : 0));
            const short status = last ? BackOrdered : nextToLast ? PartiallyFilled : Filled;
            const long line = Line(order, item, pi, ordered, status);
            Move("STORE", c.loc, pi, quantity, -28, batch, line, clerk);
        }
        // The nurses use from the kit over the following weeks.
        for (int pi : products) {
            const int day = -10 + Spread(pi, 8);
            if (pi % 4 == 0 && OnHand(c.loc, pi, day) >= 1)
                Take(c.loc, pi, 1, MovementType::Usage, day, "", Pick::Usable, nurse);
        }
    }

    // More for the crash cart and the second treatment room.
    const struct {
        const char* loc;
        const char* product;
        short quantity;
        const char* bin;
        int day;
    } kits[] = {
        {"CART1", "NALOX04", 2, "DRAWER-1", -29},  {"CART1", "ATROP06", 3, "DRAWER-1", -29},
        {"CART1", "AMIOD150", 2, "DRAWER-1", -29}, {"CART1", "DIPH50", 2, "DRAWER-2", -29},
        {"CART1", "GLUGEL", 2, "DRAWER-2", -29},   {"CART1", "IVSTKT", 2, "DRAWER-4", -29},
        {"CART1", "NS0500", 2, "DRAWER-4", -29},   {"CART1", "FLUSH10", 1, "DRAWER-4", -29},
        {"TRT2", "LACTRY", 3, "T2-B", -20},        {"TRT2", "SUTN40", 1, "T2-B", -20},
        {"TRT2", "STRIP6", 1, "T2-B", -20},        {"TRT2", "LIDOEP", 2, "T2-C", -20},
        {"TRT2", "TELFA23", 1, "T2-C", -20},
    };
    long kitBatch = 0;
    const char* kitLoc = "";
    for (const auto& k : kits) {
        const int pi = P(k.product);
        const short quantity = static_cast<short>(
            std::min<int>(k.quantity, static_cast<int>(OnHand("STORE", pi, k.day))));
        if (quantity < 1)
            continue;
        if (std::strcmp(kitLoc, k.loc) != 0) {
            kitLoc = k.loc;
            kitBatch = Sequence(kBatchIdSequence);
        }
        StockRow(k.loc, pi, k.bin, quantity, 0);
        Move("STORE", k.loc, pi, quantity, k.day, kitBatch, 0, nurse);
    }

    // The dispensary hands out oral medications straight from the store room's stock.
    for (int pi : stocked)
        if (Def(pi).category == "ORAL") {
            RowDef r;
            r.stocked = 0;
            r.trackUsage = 0;
            Row("DISP", pi, r);
        }

    // Supplies taken straight from the store room, and write-offs: part of three expired
    // lots, a damaged box and a wasted vial.
    for (int pi : stocked)
        if (Spread(pi, 7) == 0 && OnHand("STORE", pi, -7) >= 2)
            Take("STORE", pi, 1, MovementType::Usage, -7, "", Pick::Usable, nurse);
    int writtenOff = 0;
    for (int pi : stocked) {
        if (writtenOff == 3)
            break;
        double expired = 0;
        for (std::size_t i : Lots("STORE", pi, -5, Pick::Expired))
            expired += items_[i].Balance;
        if (expired >= 2) {
            Take("STORE", pi, 1, MovementType::Adjustment, -5, "EXP", Pick::Expired, pharmacist);
            ++writtenOff;
        }
    }
    const char* const damaged[][2] = {{"FOAM10", "DAM"}, {"VACMMR", "WST"}};
    for (const auto& d : damaged)
        if (OnHand("STORE", P(d[0]), -14) >= 1)
            Take("STORE", P(d[0]), 1, MovementType::Adjustment, -14, d[1], Pick::Usable, manager);

    // Orders still open: a new request of the north clinic, one of the eastside clinic
    // under review, a lab order received in part, a surgical order sent to the vendor,
    // an infusion order and a vaccine order approved; an old cancelled purchase order
    // and an old closed request.
    const std::vector<int>& north = carried["NORTH"];
    const std::vector<int>& east = carried["EAST"];
    auto vendorProducts = [&](int vendor, std::size_t count, int skip) {
        std::vector<int> chosen;
        for (int pi : stocked)
            if (Def(pi).vendor == vendor && chosen.size() < count && skip-- <= 0)
                chosen.push_back(pi);
        if (chosen.size() < count)
            Fail("too few demo products of " + std::string(kVendors[vendor].name));
        return chosen;
    };
    const std::vector<int> lab = vendorProducts(Lakeshore, 4, 2);
    const std::vector<int> surgical = vendorProducts(Laurentian, 3, 1);
    const std::vector<int> infusion = vendorProducts(Rideau, 3, 0);
    const std::vector<int> cancelled = vendorProducts(Northline, 2, 5);
    if (north.size() < 4 || east.size() < 6)
        Fail("too few products at the satellite clinics");
    if (!ok_)
        return;

    const long northRequest = Order(false, "NORTH", "STORE", 0, "", -1, 0, nurse);
    for (short i = 0; i < 4; ++i)
        Line(northRequest, static_cast<short>(i + 1), north[i], static_cast<short>(2 + i % 2),
             Requested);

    const long eastRequest = Order(false, "EAST", "STORE", 0, "", -3, manager, nurse);
    for (short i = 0; i < 4; ++i)
        Line(eastRequest, static_cast<short>(i + 1), east[i + 1], 2, i < 2 ? InReview : Ordered);

    const long labOrder = Order(true, "STORE", "", Lakeshore, "LLP-5521", -18, manager, clerk);
    const long labLines[] = {
        Line(labOrder, 1, lab[0], 4, Filled), Line(labOrder, 2, lab[1], 6, BackOrdered),
        Line(labOrder, 3, lab[2], 5, PartiallyFilled), Line(labOrder, 4, lab[3], 3, BackOrdered)};
    const long labReceipt = Receipt("STORE", Lakeshore, -9, "LLP-5521", -18, clerk);
    const short received[] = {4, 2, 3};
    for (int i = 0; i < 3; ++i)
        Receive(labReceipt, lab[i], received[i], Def(lab[i]).trackExpiry ? laterExpiry() : 0,
                labLines[i]);

    const long surgicalOrder =
        Order(true, "STORE", "", Laurentian, "LSI-88310", -6, manager, clerk);
    for (short i = 0; i < 3; ++i)
        Line(surgicalOrder, static_cast<short>(i + 1), surgical[i], static_cast<short>(2 + i),
             Purchased);

    const long infusionOrder = Order(true, "STORE", "", Rideau, "RIS-4410", -2, pharmacist, clerk);
    for (short i = 0; i < 3; ++i)
        Line(infusionOrder, static_cast<short>(i + 1), infusion[i], 12, Ordered);

    const long vaccineOrder =
        Order(true, "STORE", "", MaplePharma, "MPD-1219", -4, pharmacist, clerk, "VAX");
    Line(vaccineOrder, 1, "VACCOV", 30, Ordered);
    Line(vaccineOrder, 2, "VACTD05", 10, Ordered);

    const long cancelledOrder =
        Order(true, "STORE", "", Northline, "NMS-23877", -50, manager, clerk);
    Line(cancelledOrder, 1, cancelled[0], 5, Cancelled);
    Line(cancelledOrder, 2, cancelled[1], 3, Cancelled);

    const long closedRequest = Order(false, "EAST", "STORE", 0, "", -45, manager, nurse);
    Line(closedRequest, 1, east[4], 2, Closed);
    Line(closedRequest, 2, east[5], 1, Closed);
}

bool DemoBuilder::Build(std::string& problem) {
    // Each step builds on the rows of the one before.
    for (void (DemoBuilder::*step)() :
         {&DemoBuilder::Codes, &DemoBuilder::Products, &DemoBuilder::Locations,
          &DemoBuilder::OpeningStory, &DemoBuilder::ClinicGroup, &DemoBuilder::ProductLocations,
          &DemoBuilder::AverageCosts})
        if (ok_)
            (this->*step)();
    problem = problem_;
    return ok_;
}

} // namespace

bool LoadDemoData(WSIDatabase& db, std::string* problem) {
    std::string failure;
    RegisterRecords();
    if (!db.TransactionBegin()) {
        failure = "cannot start a transaction for the demo data";
    } else {
        DemoBuilder builder(db);
        if (!builder.Build(failure))
            db.TransactionAbort();
        else if (!db.TransactionEnd())
            failure = "cannot commit the demo data";
    }
    if (problem)
        *problem = failure;
    return failure.empty();
}

} // namespace tavel
