// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
import QtQuick
import QtTest
import Quorvane.Kit

Item {
    id: harness
    width: 400
    height: 300

    Component {
        id: checkboxComponent
        DialogCheckbox { width: 200; text: "Remember this computer" }
    }

    TestCase {
        name: "DialogCheckbox"
        when: windowShown

        function test_textSize() {
            const checkbox = createTemporaryObject(checkboxComponent, harness);
            const glyphs = findChild(checkbox, "glyphs") || findChild(checkbox, "label");
            fuzzyCompare(glyphs.mapToItem(null, 0, 0, 0, glyphs.fontInfo.pixelSize).height, 10.5, 0.01);
        }

        // The box's lower edge sits 3 points below the baseline of the text's first line, also
        // when the text wraps.
        function test_boxSitsOnTheBaseline_data() {
            return [
                { tag: "one line", text: "Remember this computer" },
                { tag: "wrapped", text: "Occasional updates about Quorvane, its features and the sites it publishes." },
            ];
        }

        function test_boxSitsOnTheBaseline(data) {
            const checkbox = createTemporaryObject(checkboxComponent, harness, { text: data.text });
            const box = findChild(checkbox, "box");
            const label = findChild(checkbox, "label");
            const boxBottom = box.mapToItem(checkbox, 0, box.height).y;
            const baseline = label.mapToItem(checkbox, 0, label.baselineOffset).y;
            fuzzyCompare(boxBottom - baseline, 3, 0.01);
            verify(box.mapToItem(checkbox, 0, 0).y >= 0);
            verify(label.mapToItem(checkbox, 0, 0).y >= 0);
            verify(checkbox.implicitHeight >= label.mapToItem(checkbox, 0, label.height).y);
        }

        function test_clickToggles() {
            const checkbox = createTemporaryObject(checkboxComponent, harness);
            mouseClick(checkbox);
            compare(checkbox.checked, true);
            mouseClick(checkbox);
            compare(checkbox.checked, false);
        }
    }
}
