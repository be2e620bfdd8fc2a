"""Reads a TFLite model file: the flatbuffer walked by hand, only the parts these models use.

Every read is bounds-checked, and options are decoded field by field from the layouts below, so a
file that does not match them fails here with a message rather than giving wrong numbers later.
"""
import struct
from dataclasses import dataclass, field

import numpy as np


class TfliteError(Exception):
    pass


# Builtin operator codes and the options table each one carries: (union type, [(field, kind,
# default)]). Field order is the order of the table's slots.
_ACTIVATION = ("fused_activation_function", "b", 0)
_OPERATORS = {
    0: ("ADD", 11, [_ACTIVATION, ("pot_scale_int16", "?", True)]),
    1: ("AVERAGE_POOL_2D", 5, [("padding", "b", 0), ("stride_w", "i", 0), ("stride_h", "i", 0),
                               ("filter_width", "i", 0), ("filter_height", "i", 0), _ACTIVATION]),
    3: ("CONV_2D", 1, [("padding", "b", 0), ("stride_w", "i", 0), ("stride_h", "i", 0), _ACTIVATION,
                       ("dilation_w_factor", "i", 1), ("dilation_h_factor", "i", 1)]),
    4: ("DEPTHWISE_CONV_2D", 2, [("padding", "b", 0), ("stride_w", "i", 0), ("stride_h", "i", 0),
                                 ("depth_multiplier", "i", 0), _ACTIVATION,
                                 ("dilation_w_factor", "i", 1), ("dilation_h_factor", "i", 1)]),
    6: ("DEQUANTIZE", None, []),
    14: ("LOGISTIC", None, []),
    18: ("MUL", 21, [_ACTIVATION]),
    19: ("RELU", None, []),
    23: ("RESIZE_BILINEAR", 15, [("new_height", "i", 0), ("new_width", "i", 0),
                                 ("align_corners", "?", False), ("half_pixel_centers", "?", False)]),
    32: ("CUSTOM", None, []),
    40: ("MEAN", 27, [("keep_dims", "?", False)]),
    117: ("HARD_SWISH", None, []),
}

# Padding in builtin options, and the fused activations.
PADDING_SAME, PADDING_VALID = 0, 1
ACTIVATION_NONE, ACTIVATION_RELU, ACTIVATION_RELU6 = 0, 1, 3

_TENSOR_TYPES = {0: np.float32, 1: np.float16, 2: np.int32}


class _Table:
    """One flatbuffer table: its position and the slots its vtable lists."""

    def __init__(self, data, pos):
        self.data = data
        self.pos = pos
        vtable = pos - _read(data, "<i", pos)
        size = _read(data, "<H", vtable)
        if size < 4 or size % 2:
            raise TfliteError(f"corrupt vtable at {vtable}")
        self.slots = [_read(data, "<H", vtable + 4 + 2 * i) for i in range((size - 4) // 2)]

    def _offset(self, slot):
        return self.slots[slot] if slot < len(self.slots) else 0

    def scalar(self, slot, kind, default):
        off = self._offset(slot)
        return default if off == 0 else _read(self.data, "<" + kind, self.pos + off)

    def _target(self, slot):
        off = self._offset(slot)
        if off == 0:
            return None
        at = self.pos + off
        return at + _read(self.data, "<I", at)

    def table(self, slot):
        at = self._target(slot)
        return None if at is None else _Table(self.data, at)

    def vector(self, slot, kind):
        """A vector of scalars as a numpy array (empty when absent)."""
        at = self._target(slot)
        if at is None:
            return np.zeros(0, dtype="<" + kind)
        count = _read(self.data, "<I", at)
        width = struct.calcsize(kind)
        _check(self.data, at + 4, count * width)
        return np.frombuffer(self.data, dtype="<" + kind, count=count, offset=at + 4)

    def tables(self, slot):
        at = self._target(slot)
        if at is None:
            return []
        count = _read(self.data, "<I", at)
        return [_Table(self.data, at + 4 + 4 * i + _read(self.data, "<I", at + 4 + 4 * i))
                for i in range(count)]

    def string(self, slot):
        raw = self.vector(slot, "B")
        return bytes(raw).decode("utf-8")

    def last_used_slot(self):
        return max((i for i, off in enumerate(self.slots) if off), default=-1)


def _check(data, pos, size):
    if pos < 0 or pos + size > len(data):
        raise TfliteError(f"read of {size} bytes at {pos} runs past the file's {len(data)} bytes")


def _read(data, fmt, pos):
    _check(data, pos, struct.calcsize(fmt))
    return struct.unpack_from(fmt, data, pos)[0]


@dataclass
class Tensor:
    name: str
    shape: tuple
    dtype: type
    data: np.ndarray = None  # constant contents, shaped; None for a computed tensor


@dataclass
class Operator:
    name: str                 # builtin name, or the custom code of a CUSTOM operator
    inputs: list
    outputs: list
    options: dict = field(default_factory=dict)
    custom_options: bytes = b""


@dataclass
class Model:
    tensors: list
    operators: list
    inputs: list
    outputs: list


def _decode_options(op, name, union_type, layout):
    """The builtin options as a dict; any slot this reader does not know is an error."""
    given = op.scalar(3, "B", 0)
    table = op.table(4)
    if union_type is None:
        if given != 0 or table is not None:
            raise TfliteError(f"{name} carries options of type {given}, none expected")
        return {}
    if given != union_type:
        raise TfliteError(f"{name} carries options of type {given}, expected {union_type}")
    if table is None:
        return {key: default for key, _, default in layout}
    if table.last_used_slot() >= len(layout):
        raise TfliteError(f"{name} sets option slot {table.last_used_slot()}, which this reader does not know")
    return {key: table.scalar(i, kind, default) for i, (key, kind, default) in enumerate(layout)}


def read_model(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 8 or data[4:8] != b"TFL3":
        raise TfliteError(f"{path}: not a TFLite model (no TFL3 identifier)")
    model = _Table(data, _read(data, "<I", 0))
    buffers = model.tables(4)
    codes = []
    for code in model.tables(1):
        builtin = max(code.scalar(0, "b", 0), code.scalar(3, "i", 0))
        codes.append((builtin, code.string(1) if builtin == 32 else ""))
    subgraphs = model.tables(2)
    if len(subgraphs) != 1:
        raise TfliteError(f"{path}: {len(subgraphs)} subgraphs, expected one")
    graph = subgraphs[0]

    tensors = []
    for t in graph.tables(0):
        name = t.string(3)
        kind = t.scalar(1, "b", 0)
        if kind not in _TENSOR_TYPES:
            raise TfliteError(f"tensor {name}: element type {kind} not supported")
        quantization = t.table(4)
        if quantization is not None and quantization.last_used_slot() >= 0:
            raise TfliteError(f"tensor {name} is quantised, not supported")
        if t.table(6) is not None:
            raise TfliteError(f"tensor {name} is sparse, not supported")
        shape = tuple(int(d) for d in t.vector(0, "i"))
        dtype = _TENSOR_TYPES[kind]
        index = t.scalar(2, "I", 0)
        if index >= len(buffers):
            raise TfliteError(f"tensor {name}: buffer {index} out of range")
        raw = buffers[index].vector(0, "B")
        contents = None
        if raw.size:
            expected = int(np.prod(shape, dtype=np.int64)) * np.dtype(dtype).itemsize
            if raw.size != expected:
                raise TfliteError(f"tensor {name}: {raw.size} bytes of data for shape {shape}")
            contents = np.frombuffer(raw.tobytes(), dtype=np.dtype(dtype).newbyteorder("<")).reshape(shape)
        tensors.append(Tensor(name, shape, dtype, contents))

    operators = []
    for op in graph.tables(3):
        index = op.scalar(0, "I", 0)
        if index >= len(codes):
            raise TfliteError(f"operator code {index} out of range")
        builtin, custom = codes[index]
        if builtin not in _OPERATORS:
            raise TfliteError(f"builtin operator {builtin} not supported")
        name, union_type, layout = _OPERATORS[builtin]
        options = _decode_options(op, custom or name, union_type, layout)
        operators.append(Operator(custom or name, [int(i) for i in op.vector(1, "i")],
                                  [int(i) for i in op.vector(2, "i")], options,
                                  bytes(op.vector(5, "B"))))
    inputs, outputs = [int(i) for i in graph.vector(1, "i")], [int(i) for i in graph.vector(2, "i")]
    for index in inputs + outputs + [i for op in operators for i in op.inputs + op.outputs]:
        if not -1 <= index < len(tensors):  # -1: an optional input left out
            raise TfliteError(f"tensor index {index} out of range")
    return Model(tensors, operators, inputs, outputs)
