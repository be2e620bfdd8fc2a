"""Converts MediaPipe's selfie segmentation TFLite model to an ONNX model in NCHW.

usage: tflite_to_onnx.py MODEL.tflite MODEL.onnx

The ONNX model has one input "input" [1,3,H,W] (RGB planes, 0..1) and one output "output" [1,1,H,W]
(the person's probability). Anything the converter does not know (an operator, an option value, a
tensor layout) stops it with a message; it never writes a model it is unsure of.
"""
import os
import struct
import sys

import numpy as np
import onnx
from onnx import TensorProto, helper, numpy_helper

from tflite_reader import (ACTIVATION_NONE, ACTIVATION_RELU, ACTIVATION_RELU6, PADDING_SAME,
                           PADDING_VALID, TfliteError, read_model)

OPSET = 14  # the first with HardSwish
IR_VERSION = 7  # the IR version that came with opset 14

# The custom transposed convolution's padding, as the TFLite C API numbers it.
_CUSTOM_PADDING_SAME, _CUSTOM_PADDING_VALID = 1, 2


class ConversionError(Exception):
    pass


def _nchw(shape):
    if len(shape) != 4 or shape[0] != 1:
        raise ConversionError(f"tensor shape {shape}: only [1,H,W,C] maps are supported")
    return [shape[0], shape[3], shape[1], shape[2]]


def _same_pads(size, out, kernel, stride):
    """TensorFlow's SAME: the output is ceil(size / stride); the odd pixel of padding goes at the end."""
    if out != -(-size // stride):
        raise ConversionError(f"SAME output {out} for input {size} at stride {stride}")
    total = max((out - 1) * stride + kernel - size, 0)
    return total // 2, total - total // 2


class _Graph:
    def __init__(self, model):
        self.model = model
        self.nodes = []
        self.initializers = []
        self.names = {}      # TFLite tensor index -> ONNX value name (computed tensors, NCHW)
        self.constants = {}  # TFLite tensor index -> float32 array, TFLite layout
        self.initializer_names = set()

    def tensor(self, index):
        return self.model.tensors[index]

    def value(self, index):
        if index not in self.names:
            raise ConversionError(f"tensor {self.tensor(index).name} is used before it is computed")
        return self.names[index]

    def constant(self, index):
        if index in self.constants:
            return self.constants[index]
        t = self.tensor(index)
        if t.data is None:
            raise ConversionError(f"tensor {t.name} must be a constant")
        if t.dtype != np.float32:
            raise ConversionError(f"tensor {t.name}: a {t.dtype.__name__} constant outside DEQUANTIZE")
        return t.data

    def initializer(self, name, array, dtype=np.float32):
        """A name says the TFLite tensor and its reordering, so a constant two operators read is stored once."""
        if name not in self.initializer_names:
            self.initializer_names.add(name)
            self.initializers.append(numpy_helper.from_array(np.ascontiguousarray(array, dtype), name))
        return name

    def output_name(self, index):
        name = f"t{index}"
        self.names[index] = name
        return name

    def add(self, op_type, inputs, output, **attributes):
        self.nodes.append(helper.make_node(op_type, inputs, [output], name=f"{op_type}_{len(self.nodes)}",
                                           **attributes))
        return output

    def emit(self, op_type, inputs, out_index, activation=ACTIVATION_NONE, **attributes):
        """One node writing TFLite tensor out_index, followed by its fused activation."""
        if activation == ACTIVATION_NONE:
            self.add(op_type, inputs, self.output_name(out_index), **attributes)
            return
        raw = self.add(op_type, inputs, f"t{out_index}_raw", **attributes)
        if activation == ACTIVATION_RELU:
            self.add("Relu", [raw], self.output_name(out_index))
        elif activation == ACTIVATION_RELU6:
            low = self.initializer(f"t{out_index}_min", np.array(0, np.float32))
            high = self.initializer(f"t{out_index}_max", np.array(6, np.float32))
            self.add("Clip", [raw, low, high], self.output_name(out_index))
        else:
            raise ConversionError(f"fused activation {activation} not supported")


def _conv_pads(op_padding, in_shape, out_shape, kernel, strides):
    if op_padding == PADDING_VALID:
        for size, out, k, s in zip(in_shape[1:3], out_shape[1:3], kernel, strides):
            if out != (size - k) // s + 1:
                raise ConversionError(f"VALID output {out} for input {size}, kernel {k}, stride {s}")
        return [0, 0, 0, 0]
    if op_padding != PADDING_SAME:
        raise ConversionError(f"padding {op_padding} not supported")
    (top, bottom), (left, right) = (_same_pads(in_shape[i + 1], out_shape[i + 1], kernel[i], strides[i])
                                    for i in range(2))
    return [top, left, bottom, right]


def _bias(g, index, channels):
    bias = g.constant(index)
    if bias.shape != (channels,):
        raise ConversionError(f"bias {g.tensor(index).name} of shape {bias.shape}, expected ({channels},)")
    return g.initializer(f"t{index}", bias)


def _check_conv_options(options):
    if options["dilation_h_factor"] != 1 or options["dilation_w_factor"] != 1:
        raise ConversionError("dilated convolutions are not supported")
    if options["stride_h"] < 1 or options["stride_w"] < 1:
        raise ConversionError("convolution strides must be positive")


def _convert_conv(g, op):
    o = op.options
    _check_conv_options(o)
    x, w, b = op.inputs
    weights = g.constant(w)  # OHWI
    out = g.tensor(op.outputs[0]).shape
    if weights.ndim != 4 or g.tensor(x).shape[3] != weights.shape[3] or out[3] != weights.shape[0]:
        raise ConversionError(f"CONV_2D weights {weights.shape} do not fit {g.tensor(x).shape} -> {out}")
    strides = [o["stride_h"], o["stride_w"]]
    pads = _conv_pads(o["padding"], g.tensor(x).shape, out, weights.shape[1:3], strides)
    g.emit("Conv", [g.value(x), g.initializer(f"t{w}_oihw", weights.transpose(0, 3, 1, 2)),
                    _bias(g, b, out[3])],
           op.outputs[0], o["fused_activation_function"],
           kernel_shape=list(weights.shape[1:3]), strides=strides, pads=pads)


def _convert_depthwise(g, op):
    o = op.options
    _check_conv_options(o)
    x, w, b = op.inputs
    weights = g.constant(w)  # 1HWC, C = input channels x depth multiplier
    channels = g.tensor(x).shape[3]
    out = g.tensor(op.outputs[0]).shape
    if weights.ndim != 4 or weights.shape[0] != 1 or weights.shape[3] != channels * o["depth_multiplier"] \
            or out[3] != weights.shape[3]:
        raise ConversionError(f"DEPTHWISE_CONV_2D weights {weights.shape} do not fit {g.tensor(x).shape} -> {out}")
    strides = [o["stride_h"], o["stride_w"]]
    pads = _conv_pads(o["padding"], g.tensor(x).shape, out, weights.shape[1:3], strides)
    g.emit("Conv", [g.value(x), g.initializer(f"t{w}_depthwise", weights[0].transpose(2, 0, 1)[:, None]),
                    _bias(g, b, out[3])],
           op.outputs[0], o["fused_activation_function"],
           kernel_shape=list(weights.shape[1:3]), strides=strides, pads=pads, group=channels)


def _convert_transpose_conv_bias(g, op):
    if len(op.custom_options) != 12:
        raise ConversionError(f"{op.name}: {len(op.custom_options)} bytes of options, expected 12")
    padding, stride_w, stride_h = struct.unpack("<3i", op.custom_options)
    x, w, b = op.inputs
    weights = g.constant(w)  # OHWI
    size = g.tensor(x).shape
    out = g.tensor(op.outputs[0]).shape
    if weights.ndim != 4 or size[3] != weights.shape[3] or out[3] != weights.shape[0] or min(stride_w, stride_h) < 1:
        raise ConversionError(f"{op.name} weights {weights.shape}, strides {stride_h}x{stride_w} "
                              f"do not fit {size} -> {out}")
    strides = [stride_h, stride_w]
    pads = [0, 0, 0, 0]
    for i in range(2):
        full = (size[i + 1] - 1) * strides[i] + weights.shape[i + 1]
        if padding == _CUSTOM_PADDING_SAME:
            # As the forward SAME convolution from the output back to the input would pad it.
            if out[i + 1] != size[i + 1] * strides[i]:
                raise ConversionError(f"{op.name}: SAME output {out[i + 1]} for input {size[i + 1]}")
            total = max(full - out[i + 1], 0)
            pads[i], pads[i + 2] = total // 2, total - total // 2
        elif padding != _CUSTOM_PADDING_VALID or out[i + 1] != full:
            raise ConversionError(f"{op.name}: padding {padding} with output {out[i + 1]} not supported")
    g.emit("ConvTranspose", [g.value(x), g.initializer(f"t{w}_iohw", weights.transpose(3, 0, 1, 2)),
                             _bias(g, b, out[3])],
           op.outputs[0], kernel_shape=list(weights.shape[1:3]), strides=strides, pads=pads)


def _convert_average_pool(g, op):
    o = op.options
    size = g.tensor(op.inputs[0]).shape
    out = g.tensor(op.outputs[0]).shape
    if (o["filter_height"], o["filter_width"]) != size[1:3] or out[1:3] != (1, 1):
        raise ConversionError(f"AVERAGE_POOL_2D: only a pool over the whole map is supported ({size} -> {out})")
    g.emit("GlobalAveragePool", [g.value(op.inputs[0])], op.outputs[0], o["fused_activation_function"])


def _convert_mean(g, op):
    x, axes = op.inputs
    t = g.tensor(axes)
    rank = len(g.tensor(x).shape)
    if t.data is None or sorted(int(a) % rank for a in t.data.ravel()) != [1, 2] or not op.options["keep_dims"]:
        raise ConversionError("MEAN: only over height and width, keeping the dimensions, is supported")
    g.emit("ReduceMean", [g.value(x)], op.outputs[0], axes=[2, 3], keepdims=1)


def _binary_operand(g, index, name):
    """A computed map as it is (NCHW); a constant right-aligned to NHWC and put in NCHW."""
    if index in g.names:
        return g.names[index]
    array = g.constant(index)
    if array.ndim > 4:
        raise ConversionError(f"{name}: constant of shape {array.shape}")
    array = array.reshape((1,) * (4 - array.ndim) + array.shape).transpose(0, 3, 1, 2)
    return g.initializer(f"t{index}_nchw", array)


def _convert_binary(onnx_op):
    def convert(g, op):
        out = _nchw(g.tensor(op.outputs[0]).shape)
        for i in op.inputs:
            shape = g.tensor(i).shape
            if len(shape) == 4 and any(d not in (1, o) for d, o in zip(_nchw(shape), out)):
                raise ConversionError(f"{op.name}: {shape} does not broadcast to the output")
        g.emit(onnx_op, [_binary_operand(g, i, op.name) for i in op.inputs], op.outputs[0],
               op.options["fused_activation_function"])
    return convert


def _convert_resize(g, op):
    o = op.options
    if o["align_corners"] or not o["half_pixel_centers"]:
        raise ConversionError("RESIZE_BILINEAR: only half_pixel_centers without align_corners is supported")
    x, size = op.inputs
    t = g.tensor(size)
    out = g.tensor(op.outputs[0]).shape
    if t.data is None or tuple(int(v) for v in t.data) != out[1:3]:
        raise ConversionError("RESIZE_BILINEAR: the size must be a constant matching the output")
    sizes = g.initializer(f"t{op.outputs[0]}_sizes", _nchw(out), np.int64)
    g.emit("Resize", [g.value(x), "", "", sizes], op.outputs[0], mode="linear",
           coordinate_transformation_mode="half_pixel")


def _convert_dequantize(g, op):
    t = g.tensor(op.inputs[0])
    if t.data is None or t.dtype != np.float16:
        raise ConversionError(f"DEQUANTIZE of {t.name}: only float16 constants are supported")
    g.constants[op.outputs[0]] = t.data.astype(np.float32)


def _unary(onnx_op):
    return lambda g, op: g.emit(onnx_op, [g.value(op.inputs[0])], op.outputs[0])


# Operator -> (its number of inputs, its converter).
_CONVERTERS = {
    "CONV_2D": (3, _convert_conv),
    "DEPTHWISE_CONV_2D": (3, _convert_depthwise),
    "Convolution2DTransposeBias": (3, _convert_transpose_conv_bias),
    "AVERAGE_POOL_2D": (1, _convert_average_pool),
    "MEAN": (2, _convert_mean),
    "ADD": (2, _convert_binary("Add")),
    "MUL": (2, _convert_binary("Mul")),
    "RESIZE_BILINEAR": (2, _convert_resize),
    "DEQUANTIZE": (1, _convert_dequantize),
    "HARD_SWISH": (1, _unary("HardSwish")),
    "RELU": (1, _unary("Relu")),
    "LOGISTIC": (1, _unary("Sigmoid")),
}


def convert(path):
    model = read_model(path)
    if len(model.inputs) != 1 or len(model.outputs) != 1:
        raise ConversionError("the model must have one input and one output")
    source, target = model.tensors[model.inputs[0]], model.tensors[model.outputs[0]]
    if source.dtype != np.float32 or len(source.shape) != 4 or source.shape[3] != 3:
        raise ConversionError(f"input {source.shape}: expected float32 [1,H,W,3]")
    if target.dtype != np.float32 or target.shape != source.shape[:3] + (1,):
        raise ConversionError(f"output {target.shape}: expected float32 [1,H,W,1] for input {source.shape}")

    g = _Graph(model)
    g.names[model.inputs[0]] = "input"
    for op in model.operators:
        if op.name not in _CONVERTERS:
            raise ConversionError(f"operator {op.name} not supported")
        inputs, converter = _CONVERTERS[op.name]
        if len(op.inputs) != inputs or min(op.inputs) < 0:
            raise ConversionError(f"{op.name}: {op.inputs} as inputs, expected {inputs} present")
        if len(op.outputs) != 1 or op.outputs[0] in g.names or op.outputs[0] in g.constants:
            raise ConversionError(f"{op.name}: expected one output written once")
        if op.name != "DEQUANTIZE":
            _nchw(g.tensor(op.outputs[0]).shape)
            if g.tensor(op.outputs[0]).dtype != np.float32:
                raise ConversionError(f"{op.name}: only float32 results are supported")
        converter(g, op)

    # The last node writes "output" directly; with one channel NHWC and NCHW hold the same numbers.
    last = g.value(model.outputs[0])
    producer = next(n for n in g.nodes if n.output[0] == last)
    if producer.op_type != "Sigmoid" or any(last in n.input for n in g.nodes):
        raise ConversionError("the model must end in a LOGISTIC that nothing else reads")
    producer.output[0] = "output"

    h, w = source.shape[1:3]
    graph = helper.make_graph(
        g.nodes, os.path.splitext(os.path.basename(path))[0],
        [helper.make_tensor_value_info("input", TensorProto.FLOAT, [1, 3, h, w])],
        [helper.make_tensor_value_info("output", TensorProto.FLOAT, [1, 1, h, w])],
        g.initializers)
    result = helper.make_model(graph, producer_name="tflite_to_onnx",
                               opset_imports=[helper.make_opsetid("", OPSET)])
    result.ir_version = IR_VERSION
    onnx.checker.check_model(result)
    _check_shapes(result, g, model)
    return result


def _check_shapes(result, g, model):
    """Every value's inferred shape must be the TFLite tensor's, in NCHW."""
    inferred = onnx.shape_inference.infer_shapes(result, strict_mode=True)
    shapes = {v.name: [d.dim_value for d in v.type.tensor_type.shape.dim]
              for v in list(inferred.graph.value_info) + list(inferred.graph.output)}
    for index, name in g.names.items():
        if index == model.outputs[0]:
            name = "output"
        if name != "input" and shapes.get(name) != _nchw(model.tensors[index].shape):
            raise ConversionError(f"{model.tensors[index].name}: shape {shapes.get(name)} in ONNX, "
                                  f"{_nchw(model.tensors[index].shape)} expected")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    try:
        result = convert(argv[1])
    except (TfliteError, ConversionError, onnx.checker.ValidationError, onnx.shape_inference.InferenceError,
            OSError) as e:
        sys.stderr.write(f"tflite_to_onnx: {argv[1]}: {e}\n")
        return 1
    # Written aside and renamed, so a failed run never leaves a model the build takes as up to date.
    os.makedirs(os.path.dirname(os.path.abspath(argv[2])), exist_ok=True)
    partial = argv[2] + ".partial"
    with open(partial, "wb") as f:
        f.write(result.SerializeToString())
    os.replace(partial, argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
