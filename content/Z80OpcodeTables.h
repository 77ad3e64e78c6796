// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The Z80's instructions by opcode, as DisassembleZ80 prints them. In a text, the lower-case
// letters stand for what follows the opcode: "n" a byte, "nn" a word (low byte first), "e" a
// relative jump's offset, "+d" an index register's displacement; in the index forms, "IX" is
// IY after FD. Undocumented instructions carry their usual names; ED's codes that do nothing
// are "NOP*".
namespace brisalto::z80 {

// Rows of eight, as opcode charts lay them out. CB, DD, ED and FD are prefixes, read apart.
// clang-format off
inline constexpr std::array<std::string_view, 256> kUnprefixed = {
    "NOP",       "LD BC,nn",  "LD (BC),A",  "INC BC",     "INC B",      "DEC B",     "LD B,n",     "RLCA",      // 00
    "EX AF,AF'", "ADD HL,BC", "LD A,(BC)",  "DEC BC",     "INC C",      "DEC C",     "LD C,n",     "RRCA",      // 08
    "DJNZ e",    "LD DE,nn",  "LD (DE),A",  "INC DE",     "INC D",      "DEC D",     "LD D,n",     "RLA",       // 10
    "JR e",      "ADD HL,DE", "LD A,(DE)",  "DEC DE",     "INC E",      "DEC E",     "LD E,n",     "RRA",       // 18
    "JR NZ,e",   "LD HL,nn",  "LD (nn),HL", "INC HL",     "INC H",      "DEC H",     "LD H,n",     "DAA",       // 20
    "JR Z,e",    "ADD HL,HL", "LD HL,(nn)", "DEC HL",     "INC L",      "DEC L",     "LD L,n",     "CPL",       // 28
    "JR NC,e",   "LD SP,nn",  "LD (nn),A",  "INC SP",     "INC (HL)",   "DEC (HL)",  "LD (HL),n",  "SCF",       // 30
    "JR C,e",    "ADD HL,SP", "LD A,(nn)",  "DEC SP",     "INC A",      "DEC A",     "LD A,n",     "CCF",       // 38
    "LD B,B",    "LD B,C",    "LD B,D",     "LD B,E",     "LD B,H",     "LD B,L",    "LD B,(HL)",  "LD B,A",    // 40
    "LD C,B",    "LD C,C",    "LD C,D",     "LD C,E",     "LD C,H",     "LD C,L",    "LD C,(HL)",  "LD C,A",    // 48
    "LD D,B",    "LD D,C",    "LD D,D",     "LD D,E",     "LD D,H",     "LD D,L",    "LD D,(HL)",  "LD D,A",    // 50
    "LD E,B",    "LD E,C",    "LD E,D",     "LD E,E",     "LD E,H",     "LD E,L",    "LD E,(HL)",  "LD E,A",    // 58
    "LD H,B",    "LD H,C",    "LD H,D",     "LD H,E",     "LD H,H",     "LD H,L",    "LD H,(HL)",  "LD H,A",    // 60
    "LD L,B",    "LD L,C",    "LD L,D",     "LD L,E",     "LD L,H",     "LD L,L",    "LD L,(HL)",  "LD L,A",    // 68
    "LD (HL),B", "LD (HL),C", "LD (HL),D",  "LD (HL),E",  "LD (HL),H",  "LD (HL),L", "HALT",       "LD (HL),A", // 70
    "LD A,B",    "LD A,C",    "LD A,D",     "LD A,E",     "LD A,H",     "LD A,L",    "LD A,(HL)",  "LD A,A",    // 78
    "ADD A,B",   "ADD A,C",   "ADD A,D",    "ADD A,E",    "ADD A,H",    "ADD A,L",   "ADD A,(HL)", "ADD A,A",   // 80
    "ADC A,B",   "ADC A,C",   "ADC A,D",    "ADC A,E",    "ADC A,H",    "ADC A,L",   "ADC A,(HL)", "ADC A,A",   // 88
    "SUB B",     "SUB C",     "SUB D",      "SUB E",      "SUB H",      "SUB L",     "SUB (HL)",   "SUB A",     // 90
    "SBC A,B",   "SBC A,C",   "SBC A,D",    "SBC A,E",    "SBC A,H",    "SBC A,L",   "SBC A,(HL)", "SBC A,A",   // 98
    "AND B",     "AND C",     "AND D",      "AND E",      "AND H",      "AND L",     "AND (HL)",   "AND A",     // A0
    "XOR B",     "XOR C",     "XOR D",      "XOR E",      "XOR H",      "XOR L",     "XOR (HL)",   "XOR A",     // A8
    "OR B",      "OR C",      "OR D",       "OR E",       "OR H",       "OR L",      "OR (HL)",    "OR A",      // B0
    "CP B",      "CP C",      "CP D",       "CP E",       "CP H",       "CP L",      "CP (HL)",    "CP A",      // B8
    "RET NZ",    "POP BC",    "JP NZ,nn",   "JP nn",      "CALL NZ,nn", "PUSH BC",   "ADD A,n",    "RST #00",   // C0
    "RET Z",     "RET",       "JP Z,nn",    "",           "CALL Z,nn",  "CALL nn",   "ADC A,n",    "RST #08",   // C8
    "RET NC",    "POP DE",    "JP NC,nn",   "OUT (n),A",  "CALL NC,nn", "PUSH DE",   "SUB n",      "RST #10",   // D0
    "RET C",     "EXX",       "JP C,nn",    "IN A,(n)",   "CALL C,nn",  "",          "SBC A,n",    "RST #18",   // D8
    "RET PO",    "POP HL",    "JP PO,nn",   "EX (SP),HL", "CALL PO,nn", "PUSH HL",   "AND n",      "RST #20",   // E0
    "RET PE",    "JP HL",     "JP PE,nn",   "EX DE,HL",   "CALL PE,nn", "",          "XOR n",      "RST #28",   // E8
    "RET P",     "POP AF",    "JP P,nn",    "DI",         "CALL P,nn",  "PUSH AF",   "OR n",       "RST #30",   // F0
    "RET M",     "LD SP,HL",  "JP M,nn",    "EI",         "CALL M,nn",  "",          "CP n",       "RST #38",   // F8
};

// ED 40 to ED 7F; ED A0 to ED BF. Every other ED code is "NOP*".
inline constexpr std::array<std::string_view, 64> kEdMiddle = {
    "IN B,(C)",  "OUT (C),B", "SBC HL,BC", "LD (nn),BC", "NEG", "RETN", "IM 0", "LD I,A",  // ED 40
    "IN C,(C)",  "OUT (C),C", "ADC HL,BC", "LD BC,(nn)", "NEG", "RETI", "IM 0", "LD R,A",  // ED 48
    "IN D,(C)",  "OUT (C),D", "SBC HL,DE", "LD (nn),DE", "NEG", "RETN", "IM 1", "LD A,I",  // ED 50
    "IN E,(C)",  "OUT (C),E", "ADC HL,DE", "LD DE,(nn)", "NEG", "RETI", "IM 2", "LD A,R",  // ED 58
    "IN H,(C)",  "OUT (C),H", "SBC HL,HL", "LD (nn),HL", "NEG", "RETN", "IM 0", "RRD",     // ED 60
    "IN L,(C)",  "OUT (C),L", "ADC HL,HL", "LD HL,(nn)", "NEG", "RETI", "IM 0", "RLD",     // ED 68
    "IN F,(C)",  "OUT (C),0", "SBC HL,SP", "LD (nn),SP", "NEG", "RETN", "IM 1", "NOP*",    // ED 70
    "IN A,(C)",  "OUT (C),A", "ADC HL,SP", "LD SP,(nn)", "NEG", "RETI", "IM 2", "NOP*",    // ED 78
};
inline constexpr std::array<std::string_view, 32> kEdBlock = {
    "LDI",  "CPI",  "INI",  "OUTI", "NOP*", "NOP*", "NOP*", "NOP*",  // ED A0
    "LDD",  "CPD",  "IND",  "OUTD", "NOP*", "NOP*", "NOP*", "NOP*",  // ED A8
    "LDIR", "CPIR", "INIR", "OTIR", "NOP*", "NOP*", "NOP*", "NOP*",  // ED B0
    "LDDR", "CPDR", "INDR", "OTDR", "NOP*", "NOP*", "NOP*", "NOP*",  // ED B8
};
// clang-format on
inline constexpr std::size_t kEdMiddleFirst = 0x40;
inline constexpr std::size_t kEdBlockFirst = 0xA0;

// A CB opcode names an operation (its eight codes in a row) and the register it works on (the
// code's place in the row); the same eight operations after DD CB d and FD CB d.
inline constexpr std::array<std::string_view, 32> kBitOperations = {
    "RLC ",   "RRC ",   "RL ",    "RR ",    "SLA ",   "SRA ",   "SLL ",   "SRL ",
    "BIT 0,", "BIT 1,", "BIT 2,", "BIT 3,", "BIT 4,", "BIT 5,", "BIT 6,", "BIT 7,",
    "RES 0,", "RES 1,", "RES 2,", "RES 3,", "RES 4,", "RES 5,", "RES 6,", "RES 7,",
    "SET 0,", "SET 1,", "SET 2,", "SET 3,", "SET 4,", "SET 5,", "SET 6,", "SET 7,",
};
inline constexpr std::array<std::string_view, 8> kRegisters = {
    "B", "C", "D", "E", "H", "L", "(HL)", "A",
};
inline constexpr std::size_t kMemoryRegister = 6;  // (HL), or (IX+d) after DD CB d

// What DD (IX) and FD (IY) make of an opcode that uses HL, H, L or (HL). Any other opcode after
// them is read as without the prefix, one byte longer.
struct IndexForm {
    std::uint8_t opcode = 0;
    std::string_view text;
};
// clang-format off
inline constexpr IndexForm kIndexForms[] = {
    {0x09, "ADD IX,BC"},   {0x19, "ADD IX,DE"},   {0x21, "LD IX,nn"},    {0x22, "LD (nn),IX"},
    {0x23, "INC IX"},      {0x24, "INC IXH"},     {0x25, "DEC IXH"},     {0x26, "LD IXH,n"},
    {0x29, "ADD IX,IX"},   {0x2A, "LD IX,(nn)"},  {0x2B, "DEC IX"},      {0x2C, "INC IXL"},
    {0x2D, "DEC IXL"},     {0x2E, "LD IXL,n"},    {0x34, "INC (IX+d)"},  {0x35, "DEC (IX+d)"},
    {0x36, "LD (IX+d),n"}, {0x39, "ADD IX,SP"},
    {0x44, "LD B,IXH"},    {0x45, "LD B,IXL"},    {0x46, "LD B,(IX+d)"},
    {0x4C, "LD C,IXH"},    {0x4D, "LD C,IXL"},    {0x4E, "LD C,(IX+d)"},
    {0x54, "LD D,IXH"},    {0x55, "LD D,IXL"},    {0x56, "LD D,(IX+d)"},
    {0x5C, "LD E,IXH"},    {0x5D, "LD E,IXL"},    {0x5E, "LD E,(IX+d)"},
    {0x60, "LD IXH,B"},    {0x61, "LD IXH,C"},    {0x62, "LD IXH,D"},    {0x63, "LD IXH,E"},
    {0x64, "LD IXH,IXH"},  {0x65, "LD IXH,IXL"},  {0x66, "LD H,(IX+d)"}, {0x67, "LD IXH,A"},
    {0x68, "LD IXL,B"},    {0x69, "LD IXL,C"},    {0x6A, "LD IXL,D"},    {0x6B, "LD IXL,E"},
    {0x6C, "LD IXL,IXH"},  {0x6D, "LD IXL,IXL"},  {0x6E, "LD L,(IX+d)"}, {0x6F, "LD IXL,A"},
    {0x70, "LD (IX+d),B"}, {0x71, "LD (IX+d),C"}, {0x72, "LD (IX+d),D"}, {0x73, "LD (IX+d),E"},
    {0x74, "LD (IX+d),H"}, {0x75, "LD (IX+d),L"}, {0x77, "LD (IX+d),A"},
    {0x7C, "LD A,IXH"},    {0x7D, "LD A,IXL"},    {0x7E, "LD A,(IX+d)"},
    {0x84, "ADD A,IXH"},   {0x85, "ADD A,IXL"},   {0x86, "ADD A,(IX+d)"},
    {0x8C, "ADC A,IXH"},   {0x8D, "ADC A,IXL"},   {0x8E, "ADC A,(IX+d)"},
    {0x94, "SUB IXH"},     {0x95, "SUB IXL"},     {0x96, "SUB (IX+d)"},
    {0x9C, "SBC A,IXH"},   {0x9D, "SBC A,IXL"},   {0x9E, "SBC A,(IX+d)"},
    {0xA4, "AND IXH"},     {0xA5, "AND IXL"},     {0xA6, "AND (IX+d)"},
    {0xAC, "XOR IXH"},     {0xAD, "XOR IXL"},     {0xAE, "XOR (IX+d)"},
    {0xB4, "OR IXH"},      {0xB5, "OR IXL"},      {0xB6, "OR (IX+d)"},
    {0xBC, "CP IXH"},      {0xBD, "CP IXL"},      {0xBE, "CP (IX+d)"},
    {0xE1, "POP IX"},      {0xE3, "EX (SP),IX"},  {0xE5, "PUSH IX"},     {0xE9, "JP IX"},
    {0xF9, "LD SP,IX"},
};
// clang-format on
static_assert(std::size(kIndexForms) == 85);

}  // namespace brisalto::z80
