"""A plain numpy interpreter of the TFLite graph, in NHWC and float64, written from TFLite's own
semantics (padding, scatter of the transposed convolution, bilinear sampling) and sharing nothing
with the converter but the file reader."""
import struct

import numpy as np


def _activation(x, kind):
    return {0: x, 1: np.maximum(x, 0), 3: np.clip(x, 0, 6)}[kind]


def _padding(size, kernel, stride, same):
    """TFLite's ComputePadding: the output size and the padding before the first pixel."""
    out = (size + stride - 1) // stride if same else (size - kernel + stride) // stride
    return out, max((out - 1) * stride + kernel - size, 0) // 2


def _patches(x, kh, kw, sh, sw, same):
    """Yields (ky, kx, the [1,oh,ow,C] samples that kernel tap sees), zero outside the map."""
    oh, top = _padding(x.shape[1], kh, sh, same)
    ow, left = _padding(x.shape[2], kw, sw, same)
    padded = np.zeros((1, (oh - 1) * sh + kh, (ow - 1) * sw + kw, x.shape[3]))
    rows = min(x.shape[1], padded.shape[1] - top)
    cols = min(x.shape[2], padded.shape[2] - left)
    padded[:, top:top + rows, left:left + cols] = x[:, :rows, :cols]
    for ky in range(kh):
        for kx in range(kw):
            yield ky, kx, padded[:, ky:ky + (oh - 1) * sh + 1:sh, kx:kx + (ow - 1) * sw + 1:sw]


def _conv(x, w, b, o):
    out = b.astype(np.float64)
    for ky, kx, patch in _patches(x, w.shape[1], w.shape[2], o["stride_h"], o["stride_w"], o["padding"] == 0):
        out = out + np.einsum("nhwc,oc->nhwo", patch, w[:, ky, kx, :])
    return _activation(out, o["fused_activation_function"])


def _depthwise(x, w, b, o):
    x = np.repeat(x, o["depth_multiplier"], axis=3)
    out = b.astype(np.float64)
    for ky, kx, patch in _patches(x, w.shape[1], w.shape[2], o["stride_h"], o["stride_w"], o["padding"] == 0):
        out = out + patch * w[0, ky, kx, :]
    return _activation(out, o["fused_activation_function"])


def _transpose_conv_bias(x, w, b, raw, out_shape):
    padding, sw, sh = struct.unpack("<3i", raw)
    _, oh, ow, _ = out_shape
    kh, kw = w.shape[1:3]
    # The padding a forward convolution from the output back to the input would use (1 = SAME).
    top = _padding(oh, kh, sh, padding == 1)[1]
    left = _padding(ow, kw, sw, padding == 1)[1]
    full = np.zeros((1, max((x.shape[1] - 1) * sh + kh, top + oh), max((x.shape[2] - 1) * sw + kw, left + ow),
                     w.shape[0]))
    for ky in range(kh):
        for kx in range(kw):
            full[:, ky:ky + (x.shape[1] - 1) * sh + 1:sh, kx:kx + (x.shape[2] - 1) * sw + 1:sw] += \
                np.einsum("nhwi,oi->nhwo", x, w[:, ky, kx, :])
    return full[:, top:top + oh, left:left + ow] + b


def _resize_bilinear(x, size, o):
    def sample(out_size, in_size):
        if o["align_corners"] and out_size > 1:
            scale = (in_size - 1) / (out_size - 1)
        else:
            scale = in_size / out_size
        at = np.arange(out_size, dtype=np.float64)
        value = (at + 0.5) * scale - 0.5 if o["half_pixel_centers"] else at * scale
        low = np.maximum(np.floor(value), 0).astype(int)
        high = np.minimum(np.ceil(value), in_size - 1).astype(int)
        return value - low, low, high

    fy, y0, y1 = sample(int(size[0]), x.shape[1])
    fx, x0, x1 = sample(int(size[1]), x.shape[2])
    fy, fx = fy[None, :, None, None], fx[None, None, :, None]
    top = x[:, y0][:, :, x0] * (1 - fx) + x[:, y0][:, :, x1] * fx
    bottom = x[:, y1][:, :, x0] * (1 - fx) + x[:, y1][:, :, x1] * fx
    return top * (1 - fy) + bottom * fy


def _average_pool(x, o):
    if (o["filter_height"], o["filter_width"]) != x.shape[1:3]:
        raise NotImplementedError("AVERAGE_POOL_2D over part of the map")
    return _activation(x.mean(axis=(1, 2), keepdims=True), o["fused_activation_function"])


def run(model, image):
    """image: [1,H,W,3] float; returns the output tensor, [1,H,W,1]."""
    values = {model.inputs[0]: np.asarray(image, np.float64)}

    def get(index):
        return values[index] if index in values else model.tensors[index].data

    for op in model.operators:
        a = [get(i) for i in op.inputs]
        o = op.options
        if op.name == "DEQUANTIZE":
            r = a[0].astype(np.float64)
        elif op.name == "CONV_2D":
            r = _conv(*a, o)
        elif op.name == "DEPTHWISE_CONV_2D":
            r = _depthwise(*a, o)
        elif op.name == "Convolution2DTransposeBias":
            r = _transpose_conv_bias(*a, op.custom_options, model.tensors[op.outputs[0]].shape)
        elif op.name == "HARD_SWISH":
            r = a[0] * np.clip(a[0] + 3, 0, 6) / 6
        elif op.name == "RELU":
            r = np.maximum(a[0], 0)
        elif op.name == "LOGISTIC":
            r = 0.5 + 0.5 * np.tanh(a[0] / 2)  # the logistic, without exp's overflow
        elif op.name == "AVERAGE_POOL_2D":
            r = _average_pool(a[0], o)
        elif op.name == "MEAN":
            r = a[0].mean(axis=tuple(int(v) for v in a[1]), keepdims=o["keep_dims"])
        elif op.name in ("ADD", "MUL"):
            r = _activation(a[0] + a[1] if op.name == "ADD" else a[0] * a[1], o["fused_activation_function"])
        elif op.name == "RESIZE_BILINEAR":
            r = _resize_bilinear(a[0], a[1], o)
        else:
            raise NotImplementedError(op.name)
        if r.shape != model.tensors[op.outputs[0]].shape:
            raise AssertionError(f"{op.name}: {r.shape}, the file says {model.tensors[op.outputs[0]].shape}")
        values[op.outputs[0]] = r
    return values[model.outputs[0]]
