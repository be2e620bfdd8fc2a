"""The built ONNX models, run by ONNX Runtime on photographs, against a numpy interpreter of the TFLite
graphs they were converted from; and the converter's refusals.

usage: model_tests.py --source DIR --tflite DIR --models DIR --library libonnxruntime.so.1
"""
import argparse
import contextlib
import copy
import io
import os
import sys
import tempfile
import unittest
from unittest import mock

import numpy as np
import skimage.color
import skimage.io
import skimage.transform

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import onnx_runtime  # noqa: E402
import tflite_reference  # noqa: E402

PHOTOS = {
    "astronaut": "/usr/lib/python3/dist-packages/skimage/data/astronaut.png",
    "camera": "/usr/lib/python3/dist-packages/skimage/data/camera.png",
    "messi5": "/usr/share/doc/opencv-doc/examples/data/messi5.jpg",
}
MODELS = {"selfie_segmentation": (256, 256), "selfie_segmentation_landscape": (144, 256)}
TOLERANCE = 1e-3
ARGS = None


def _photo(path, height, width):
    """The photograph stretched to the model's input, RGB in 0..1."""
    image = skimage.io.imread(path)
    if image.ndim == 2:
        image = skimage.color.gray2rgb(image)
    return skimage.transform.resize(image[:, :, :3], (height, width)).astype(np.float32)


class ConvertedModels(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        from tflite_reader import read_model
        cls.graphs = {name: read_model(os.path.join(ARGS.tflite, name + ".tflite")) for name in MODELS}
        cls.masks = {}  # (model, photo) -> (ONNX Runtime's [H,W], the reference's [H,W])
        for name, (h, w) in MODELS.items():
            with onnx_runtime.Session(ARGS.library, os.path.join(ARGS.models, name + ".onnx")) as session:
                for photo, path in PHOTOS.items():
                    image = _photo(path, h, w)
                    actual = session.run(image.transpose(2, 0, 1)[None], (1, 1, h, w))[0, 0]
                    expected = tflite_reference.run(cls.graphs[name], image[None])[0, :, :, 0]
                    cls.masks[name, photo] = actual, expected

    def test_onnx_runtime_matches_the_tflite_graph(self):
        for (name, photo), (actual, expected) in self.masks.items():
            with self.subTest(model=name, photo=photo):
                difference = float(np.abs(actual - expected).max())
                print(f"{name} {photo}: max abs difference {difference:.2e}")
                self.assertLess(difference, TOLERANCE)

    def test_masks_are_person_like(self):
        # Boxes on astronaut.png as fractions of the picture: the middle of the face, the top right
        # corner of the backdrop.
        for name in MODELS:
            mask = self.masks[name, "astronaut"][0]
            h, w = mask.shape
            with self.subTest(model=name):
                self.assertGreater(mask[int(0.10 * h):int(0.20 * h), int(0.40 * w):int(0.50 * w)].min(), 0.9)
                self.assertLess(mask[:int(0.15 * h), int(0.85 * w):].max(), 0.1)

    def test_converter_refuses_what_it_does_not_know(self):
        import tflite_to_onnx
        # (the first operator of that name, the change, what the message names)
        faults = [
            ("HARD_SWISH", lambda op: setattr(op, "name", "GELU"), "operator GELU"),
            ("RESIZE_BILINEAR", lambda op: op.options.update(align_corners=True), "align_corners"),
            ("ADD", lambda op: op.options.update(fused_activation_function=2), "fused activation 2"),
            ("CONV_2D", lambda op: op.options.update(dilation_h_factor=2), "dilated"),
            ("Convolution2DTransposeBias",
             lambda op: setattr(op, "custom_options", bytes([3, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0])), "padding 3"),
        ]
        for op_name, change, fault in faults:
            with self.subTest(fault=fault), tempfile.TemporaryDirectory() as folder:
                faulty = copy.deepcopy(self.graphs["selfie_segmentation"])
                change(next(op for op in faulty.operators if op.name == op_name))
                target = os.path.join(folder, "model.onnx")
                errors = io.StringIO()
                with mock.patch.object(tflite_to_onnx, "read_model", lambda path: faulty), \
                        contextlib.redirect_stderr(errors):
                    status = tflite_to_onnx.main(["tflite_to_onnx.py", "model.tflite", target])
                self.assertEqual(status, 1)
                self.assertIn("tflite_to_onnx: model.tflite: ", errors.getvalue())
                self.assertIn(fault, errors.getvalue())
                self.assertEqual(os.listdir(folder), [])


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--source", "--tflite", "--models", "--library"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    sys.path.insert(0, ARGS.source)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
