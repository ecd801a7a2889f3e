// Host records as the plug-ins see them, fields in the kernel's order.
//
// The kernel's 32-bit layout is pinned by static_asserts; in a 64-bit build the same fields
// keep their order at the offsets the compiler gives them. Gaps are fields the plug-ins never
// touch; their sizes are those of the 32-bit layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/ac_value.h"

struct instance_record;
struct design_record;
struct pin_record;
struct quantity_record;
struct generic_record;
struct above_record;
struct process_record;
struct port_record;
struct driver_record;
struct signal_record;
struct elab_funcs_table;

// Flag byte of a pin: the unit never places a current on it.
inline constexpr std::uint8_t pin_no_contribution = 0x02;
// Flag byte of a signal: the signal has an event in the current cycle.
inline constexpr std::uint8_t signal_event = 0x01;

struct quantity_record {
  std::uint8_t reserved_00[0x1C];
  double* value;  // +0x1C real value
  ac_value* ac;   // +0x20 complex (small-signal) value
  std::uint8_t reserved_24[0x50 - 0x24];
  std::int32_t state_number;  // +0x50 implicit state number, 0 when not a state
  std::uint8_t reserved_54[0x64 - 0x54];
  pin_record* plus;   // +0x64 plus terminal of a branch quantity
  pin_record* minus;  // +0x68 minus terminal; null for the reference node
};

struct pin_record {
  std::uint8_t reserved_00[0x10];
  quantity_record* voltage;  // +0x10 the pin's voltage, read through its value pointers
  std::uint8_t reserved_14[0x20 - 0x14];
  double current;       // +0x20 accumulated real current
  ac_value ac_current;  // +0x28 accumulated complex current
  std::uint8_t reserved_38[0x44 - 0x38];
  std::uint8_t flags;  // +0x44 pin_no_contribution
  std::uint8_t reserved_45[3];
};

struct generic_record {
  std::uint8_t reserved_00[0x10];
  union {
    double real;           // a real value
    std::int64_t integer;  // an integer value, low word first
    double* array;         // the first of consecutive doubles of a real array
  } value;                 // +0x10
};

// Index range of an array value (a string argument, in this library).
struct range_record {
  std::uint8_t kind_flags;  // bits 0-2 kind, bits 3-4 flags, bits 5-7 untouched
  std::uint8_t reserved_01[3];
  std::int32_t left;
  std::int32_t right;
};

struct declaration_record {
  std::uint8_t reserved_00[0x28];
  const elab_funcs_table* exports;  // +0x28 the declared unit's table, laid out like elab_funcs
  std::uint8_t reserved_2c[0xA8 - 0x2C];
  void* context;  // +0xA8 context passed as the last argument of its subprograms
};

// One entry of a design unit's declaration table.
struct declaration_entry {
  std::uint32_t reserved_00[2];
  declaration_record* declared;  // +0x08
};

struct design_record {
  std::uint8_t reserved_00[0x30];
  declaration_entry* declarations;  // +0x30 indexed by declaration number
};

struct above_record {
  std::uint8_t reserved_00[0x10];
  std::int32_t state_copy;  // +0x10
  std::uint8_t reserved_14[0x20 - 0x14];
  std::int32_t state;  // +0x20 1 while the watched quantity is above the threshold
  std::uint8_t reserved_24[0x84 - 0x24];
  quantity_record* watched;  // +0x84
  std::uint8_t reserved_88[0x90 - 0x88];
  double threshold;  // +0x90 the threshold last computed
  std::uint8_t reserved_98[0xA0 - 0x98];
  double (*threshold_function)(above_record*);  // +0xA0
  instance_record* owner;                       // +0xA4
};

struct instance_record {
  design_record* design;  // +0x00
  std::uint8_t reserved_04[0x20 - 0x04];
  generic_record** generics;   // +0x20 by position fixed per unit
  std::int32_t generic_count;  // +0x24
  std::uint8_t reserved_28[0x40 - 0x28];
  above_record** aboves;  // +0x40
  std::uint8_t reserved_44[0x58 - 0x44];
  pin_record** pins;  // +0x58 pin n is entry n-1
  std::uint8_t reserved_5c[0x88 - 0x5C];
  quantity_record** quantities;  // +0x88 in the unit's quantity order
  std::uint8_t reserved_8c[0xC0 - 0x8C];
  std::int32_t object_index;  // +0xC0
  std::uint8_t reserved_c4[0xD0 - 0xC4];
  std::int32_t state_count;  // +0xD0
};

struct signal_record {
  std::uint8_t reserved_00[0x38];
  std::uint8_t flags;  // +0x38 signal_event
  std::uint8_t reserved_39[3];
};

struct port_record {
  std::uint8_t reserved_00[0x1C];
  signal_record* signal;  // +0x1C
  std::int64_t* value;    // +0x20 current value; low 32 bits hold the position
};

struct driver_record {
  std::uint8_t reserved_00[0x1C];
  std::int32_t handle;  // +0x1C transaction handle, zero before the first transaction
};

struct process_record {
  std::uint8_t reserved_00[0x04];
  instance_record* instance;  // +0x04
  std::uint8_t reserved_08[0x50 - 0x08];
  port_record** ports;  // +0x50 by port position
  std::uint8_t reserved_54[0x5C - 0x54];
  void (*function)(process_record*);  // +0x5C
  std::uint8_t reserved_60[0x68 - 0x60];
  driver_record** drivers;  // +0x68 by driver number
};

// Context record of a declared unit; its object records are laid out like a generic array.
struct context_record {
  std::uint8_t reserved_00[0x20];
  generic_record** objects;  // +0x20
};

// The host's evaluation frame while it asks a unit for a generic default.
struct evaluation_frame {
  std::uint32_t reserved_00[2];
  instance_record* instance;  // +0x08
};

#if UINTPTR_MAX == 0xFFFFFFFFu
// The kernel's 32-bit layout.
#define ZEB_AT(record, field, offset) \
  static_assert(offsetof(record, field) == (offset), #record "." #field)
ZEB_AT(quantity_record, value, 0x1C);
ZEB_AT(quantity_record, ac, 0x20);
ZEB_AT(quantity_record, state_number, 0x50);
ZEB_AT(quantity_record, plus, 0x64);
ZEB_AT(quantity_record, minus, 0x68);
ZEB_AT(pin_record, voltage, 0x10);
ZEB_AT(pin_record, current, 0x20);
ZEB_AT(pin_record, ac_current.re, 0x28);
ZEB_AT(pin_record, ac_current.im, 0x30);
ZEB_AT(pin_record, flags, 0x44);
ZEB_AT(generic_record, value, 0x10);
static_assert(sizeof(range_record) == 12);
ZEB_AT(range_record, left, 4);
ZEB_AT(range_record, right, 8);
ZEB_AT(declaration_record, exports, 0x28);
ZEB_AT(declaration_record, context, 0xA8);
static_assert(sizeof(declaration_entry) == 12);
ZEB_AT(declaration_entry, declared, 8);
ZEB_AT(design_record, declarations, 0x30);
ZEB_AT(above_record, state_copy, 0x10);
ZEB_AT(above_record, state, 0x20);
ZEB_AT(above_record, watched, 0x84);
ZEB_AT(above_record, threshold, 0x90);
ZEB_AT(above_record, threshold_function, 0xA0);
ZEB_AT(above_record, owner, 0xA4);
ZEB_AT(instance_record, design, 0x00);
ZEB_AT(instance_record, generics, 0x20);
ZEB_AT(instance_record, generic_count, 0x24);
ZEB_AT(instance_record, aboves, 0x40);
ZEB_AT(instance_record, pins, 0x58);
ZEB_AT(instance_record, quantities, 0x88);
ZEB_AT(instance_record, object_index, 0xC0);
ZEB_AT(instance_record, state_count, 0xD0);
ZEB_AT(signal_record, flags, 0x38);
ZEB_AT(port_record, signal, 0x1C);
ZEB_AT(port_record, value, 0x20);
ZEB_AT(driver_record, handle, 0x1C);
ZEB_AT(process_record, instance, 0x04);
ZEB_AT(process_record, ports, 0x50);
ZEB_AT(process_record, function, 0x5C);
ZEB_AT(process_record, drivers, 0x68);
ZEB_AT(context_record, objects, 0x20);
ZEB_AT(evaluation_frame, instance, 0x08);
#undef ZEB_AT
#endif
