{ Independent check of component streams.
  streamcheck totext FILE   prints ObjectBinaryToText of the binary stream in FILE
  streamcheck write FILE    writes a TFpcThing with WriteComponent into FILE }
program streamcheck;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils;

type
  TThingStyle = (tsPlain, tsBold, tsItalic);
  TThingOption = (toFirst, toSecond, toThird);
  TThingOptions = set of TThingOption;

  TThingItem = class(TCollectionItem)
  private
    FValue: Integer;
    FCaption: string;
  published
    property Value: Integer read FValue write FValue;
    property Caption: string read FCaption write FCaption;
  end;

  TFpcThing = class(TComponent)
  private
    FCount: Integer;
    FCaption: string;
    FOptions: TThingOptions;
    FStyle: TThingStyle;
    FLines: TStrings;
    FItems: TCollection;
    procedure SetLines(AValue: TStrings);
    procedure SetItems(AValue: TCollection);
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
  published
    property Count: Integer read FCount write FCount;
    property Caption: string read FCaption write FCaption;
    property Options: TThingOptions read FOptions write FOptions;
    property Style: TThingStyle read FStyle write FStyle;
    property Lines: TStrings read FLines write SetLines;
    property Items: TCollection read FItems write SetItems;
  end;

constructor TFpcThing.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FLines := TStringList.Create;
  FItems := TCollection.Create(TThingItem);
end;

destructor TFpcThing.Destroy;
begin
  FItems.Free;
  FLines.Free;
  inherited Destroy;
end;

procedure TFpcThing.SetLines(AValue: TStrings);
begin
  FLines.Assign(AValue);
end;

procedure TFpcThing.SetItems(AValue: TCollection);
begin
  FItems.Assign(AValue);
end;

procedure PrintAsText(const FileName: string);
var
  Input: TFileStream;
  Output: TStringStream;
begin
  Input := TFileStream.Create(FileName, fmOpenRead);
  Output := TStringStream.Create('');
  try
    ObjectBinaryToText(Input, Output);
    Write(Output.DataString);
  finally
    Output.Free;
    Input.Free;
  end;
end;

procedure WriteThing(const FileName: string);
var
  Thing: TFpcThing;
  Item: TThingItem;
  Output: TFileStream;
begin
  Thing := TFpcThing.Create(nil);
  Output := TFileStream.Create(FileName, fmCreate);
  try
    Thing.Name := 'Thing1';
    Thing.Count := 40000;
    Thing.Caption := 'Hello';
    Thing.Options := [toFirst, toThird];
    Thing.Style := tsItalic;
    Thing.Lines.Add('one');
    Thing.Lines.Add('two');
    Item := Thing.Items.Add as TThingItem;
    Item.Value := -129;
    Item.Caption := 'first'#$95#$5C;  { 表 in code page 932 }
    Item := Thing.Items.Add as TThingItem;
    Item.Value := 7;
    Output.WriteComponent(Thing);
  finally
    Output.Free;
    Thing.Free;
  end;
end;

begin
  if (ParamCount = 2) and (ParamStr(1) = 'totext') then
    PrintAsText(ParamStr(2))
  else if (ParamCount = 2) and (ParamStr(1) = 'write') then
    WriteThing(ParamStr(2))
  else
  begin
    WriteLn(StdErr, 'usage: streamcheck totext|write FILE');
    Halt(2);
  end;
end.
