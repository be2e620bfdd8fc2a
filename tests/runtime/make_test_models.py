#!/usr/bin/env python3
"""Small models for the runtime's network tests, one folder per case under the given folder.

good/: both files, the quality one 256x256 and the performance one 144x256, whose output is the input's
first (red) plane, so a test can see the resizes and the channel order. The other folders each hold
one fault: a missing file, a truncated file, or names and shapes other than the runtime expects.
"""
import os
import sys

import onnx
from onnx import TensorProto, helper

QUALITY = "selfie_segmentation.onnx"
PERFORMANCE = "selfie_segmentation_landscape.onnx"


def red_plane(height, width, input_name="input", output_name="output", output_channels=1):
    """A model whose output is the first output_channels planes of its input."""
    constants = [
        helper.make_tensor("starts", TensorProto.INT64, [1], [0]),
        helper.make_tensor("ends", TensorProto.INT64, [1], [output_channels]),
        helper.make_tensor("axes", TensorProto.INT64, [1], [1]),
    ]
    node = helper.make_node("Slice", [input_name, "starts", "ends", "axes"], [output_name])
    graph = helper.make_graph(
        [node], "red_plane",
        [helper.make_tensor_value_info(input_name, TensorProto.FLOAT, [1, 3, height, width])],
        [helper.make_tensor_value_info(output_name, TensorProto.FLOAT, [1, output_channels, height, width])],
        constants)
    model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", 13)])
    model.ir_version = 8
    onnx.checker.check_model(model)
    return model.SerializeToString()


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main(root):
    quality = red_plane(256, 256)
    performance = red_plane(144, 256)
    write(os.path.join(root, "good"), QUALITY, quality)
    write(os.path.join(root, "good"), PERFORMANCE, performance)
    write(os.path.join(root, "quality_only"), QUALITY, quality)
    write(os.path.join(root, "truncated"), QUALITY, quality[: len(quality) // 2])
    write(os.path.join(root, "input_name"), QUALITY, red_plane(256, 256, input_name="image"))
    write(os.path.join(root, "output_name"), QUALITY, red_plane(256, 256, output_name="mask"))
    write(os.path.join(root, "input_shape"), QUALITY, red_plane(144, 256))
    write(os.path.join(root, "output_shape"), QUALITY, red_plane(256, 256, output_channels=3))


if __name__ == "__main__":
    main(sys.argv[1])
